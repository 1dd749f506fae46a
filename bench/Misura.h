#pragma once
// Runs a program and measures its wall time and its peak resident memory.
// The peak is taken by GNU time, which forks the program from its own small
// process: a child spawned straight from a benchmark would count the
// benchmark's memory (it shares or copies it until exec) in its peak.

#include <QElapsedTimer>
#include <QList>
#include <QStringList>
#include <QTemporaryFile>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

struct Misura
{
    double secondi = 0;
    long picco_kb = 0;
    int stato = -1;
};

inline Misura esegui(const QStringList &comando)
{
    QTemporaryFile picco;
    picco.open();
    const QStringList argomenti = QStringList{QStringLiteral("/usr/bin/time"), QStringLiteral("-f"), QStringLiteral("%M"),
                                              QStringLiteral("-o"), picco.fileName()}
                                  + comando;
    std::vector<QByteArray> byte;
    for (const QString &a : argomenti)
        byte.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : byte)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    Misura m;
    QElapsedTimer t;
    t.start();
    pid_t pid;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return m;
    int stato = 0;
    waitpid(pid, &stato, 0);
    m.secondi = double(t.nsecsElapsed()) / 1e9;
    const QList<QByteArray> righe = picco.readAll().trimmed().split('\n');
    m.picco_kb = righe.isEmpty() ? 0 : righe.last().toLong();
    m.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
    return m;
}

