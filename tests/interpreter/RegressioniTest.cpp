// Print files that once made the interpreter fail (fuzz/regressions) and the
// fuzzing seeds (fuzz/corpus), replayed: each ends in a drawn document or in
// the general error message, never in a crash or a hang; the preview's page
// is drawn or its error names the line.

#include "ProvaInterprete.h"

#include "common/ErroreVB.h"
#include "interpreter/InterpreteAnteprima.h"

#include <QDir>

using namespace vorpla;
using namespace vorpla::prova;

TEST_F(ProvaInterprete, FuzzInputsEndInADocumentOrInTheErrorMessage)
{
    int casi = 0;
    for (const char *sottocartella : {"fuzz/regressions", "fuzz/corpus"}) {
        const QDir dir(QStringLiteral(VORPLA_SOURCE_DIR) + u'/' + QLatin1String(sottocartella));
        for (const QString &nome : dir.entryList(QDir::Files)) {
            messaggi.testi.clear();
            const auto esito = disegna(leggiFile(dir.filePath(nome)));
            if (esito.has_value()) {
                EXPECT_EQ(*esito, FineConErrore) << nome.toStdString();
                ASSERT_EQ(messaggi.testi.size(), 1) << nome.toStdString();
                EXPECT_TRUE(messaggi.testi.at(0).contains(QStringLiteral("\r\nTag: "))) << nome.toStdString();
            } else {
                EXPECT_TRUE(messaggi.testi.isEmpty()) << nome.toStdString();
            }
            SuperficieRegistrata pagina(QStringLiteral("frmPreview"), QSizeF(19, 27));
            InterpreteAnteprima anteprima(pagina, lavoro().FileIngresso);
            try {
                anteprima.DISEGNA(1);
            } catch (const ErroreVB &e) {
                EXPECT_TRUE(e.descrizione().contains(QStringLiteral("\r\nTag: "))) << nome.toStdString();
            }
            ++casi;
        }
    }
    EXPECT_GE(casi, 5);
}
