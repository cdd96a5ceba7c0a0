// tabrix-bench runs unattended: whatever the program would show in a box
// must end the run instead of waiting for someone to press OK.
#include "tests/support/temp_tables.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

TEST(BenchTest, RefusedTableEndsTheRunWithItsMessageAndAFailure)
{
    TempTables tables;
    QFile damaged(tables.cardPath());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();

    QProcess bench;
    bench.start(QStringLiteral(TABRIX_BIN_DIR "/tabrix-bench"), {tables.dir(), QStringLiteral("startup")});
    const bool finished = bench.waitForFinished(30000);
    if (!finished)
        bench.kill();
    ASSERT_TRUE(finished) << "tabrix-bench waits for an answer";
    EXPECT_EQ(bench.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(bench.exitCode(), 0);
    const QString err = QString::fromUtf8(bench.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("n'est pas une table de base de données"))) << err.toStdString();
}
