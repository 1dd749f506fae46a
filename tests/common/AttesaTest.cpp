#include "common/Attesa.h"
#include "common/ErroreVB.h"
#include "common/FineProgramma.h"

#include "TestSupport.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace vorpla;
using vorpla::prova::erroreDi;

// Work kept off the user-interface thread: the waits go on meanwhile, what
// the work raised reaches the caller, and an end asked for during the wait
// comes only once the work is over.
TEST(EseguiSenzaBloccare, WaitsGoOnAndTheWorkIsNeverCutShort)
{
    std::atomic<bool> fatto{false};
    int attese = 0;
    eseguiSenzaBloccare(
        [&] {
            QThread::msleep(100);
            fatto = true;
        },
        [&](int ms) {
            EXPECT_EQ(ms, 10);
            ++attese;
            QThread::msleep(quint64(ms));
        });
    EXPECT_TRUE(fatto);
    EXPECT_GE(attese, 5);

    EXPECT_EQ(erroreDi([] { eseguiSenzaBloccare([] { throw ErroreVB(Err::PermessoNegato); }, [](int) {}); }),
              Err::PermessoNegato);

    fatto = false;
    EXPECT_THROW(eseguiSenzaBloccare(
                     [&] {
                         QThread::msleep(100);
                         fatto = true;
                     },
                     [](int) { fine(FineNormale); }),
                 FineProgramma);
    EXPECT_TRUE(fatto);
}
