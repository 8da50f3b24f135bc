#include "support/cli_runner.h"

#include <gtest/gtest.h>



TEST(CliUsage, HelpAndVersionSucceed)
{
    const CliRun help = runCli({"--help"});
    EXPECT_EQ(help.rc, 0);
    EXPECT_NE(help.out.find("norvane-cli send"), std::string::npos);
    const CliRun version = runCli({"--version"});
    EXPECT_EQ(version.rc, 0);
    EXPECT_EQ(version.out, "norvane-cli 3.1.7 - 2/24/2008\n");
}

TEST(CliUsage, UsageErrorsExitTwoWithAOneLineReason)
{
    for (const QStringList &args : {QStringList{}, QStringList{"frobnicate"}, QStringList{"--bogus"}}) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.rc, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.rfind("norvane-cli: ", 0), 0u);
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
        EXPECT_TRUE(r.out.empty());
    }
}
