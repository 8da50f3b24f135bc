#include "platform/qt_ui.h"

#include <QDialog>
#include <QTextBrowser>
#include <QWidget>
#include <gtest/gtest.h>

TEST(QtUi, HelpOpensTheShippedPagesAtTheContext)
{
    QWidget main;
    nv::QtUi ui;
    ui.setMainWindow(&main);
    ui.help(10);
    auto *viewer = main.findChild<QDialog *>("HelpViewer");
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    auto *browser = viewer->findChild<QTextBrowser *>("HelpBrowser");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("Message Inbox"));
    ui.help(10); // the same viewer again
    EXPECT_EQ(main.findChildren<QDialog *>("HelpViewer").size(), 1);
}
