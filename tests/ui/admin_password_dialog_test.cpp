// The "Enter Admin Password" dialog and its use by the users-file conversion.
#include "admin/admin_password_dialog.h"

#include "directory/users.h"
#include "support/directory_fixture.h"
#include "support/record_builder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace nv;

namespace {

// Fills the dialog as a person would and presses OK, while it is modal.
class TypingUi : public ScriptedUi {
public:
    QString first, second;
    bool cancel = false;
    int shown = 0;
    int showModal(QObject *window) override
    {
        ++shown;
        modalShown.push_back(window->objectName());
        auto *dlg = qobject_cast<TfrmAdminPassword *>(window);
        if (!dlg)
            return 0;
        QTimer::singleShot(0, dlg, [this, dlg] {
            if (cancel) {
                dlg->btnCancel->click();
                return;
            }
            dlg->PasswordFld1->insert(first);
            dlg->PasswordFld2->insert(second);
            dlg->btnOK->click();
            if (dlg->isVisible()) // refused: type the second one again
                dlg->reject();
        });
        return dlg->exec();
    }
};

} // namespace

TEST(AdminPasswordDialog, ControlsAndCaption)
{
    ScriptedUi ui;
    TfrmAdminPassword dlg(ui);
    EXPECT_EQ(dlg.objectName(), "frmAdminPassword");
    EXPECT_EQ(dlg.windowTitle(), "Enter Admin Password");
    ASSERT_EQ(dlg.findChild<QLineEdit *>("PasswordFld1"), dlg.PasswordFld1);
    ASSERT_EQ(dlg.findChild<QLineEdit *>("PasswordFld2"), dlg.PasswordFld2);
    ASSERT_EQ(dlg.findChild<QPushButton *>("btnOK"), dlg.btnOK);
    ASSERT_EQ(dlg.findChild<QPushButton *>("btnCancel"), dlg.btnCancel);
    for (QLineEdit *e : {dlg.PasswordFld1, dlg.PasswordFld2}) {
        EXPECT_EQ(e->echoMode(), QLineEdit::Password);
        EXPECT_EQ(e->maxLength(), 15);
    }
    EXPECT_EQ(dlg.btnOK->text(), "OK");
    EXPECT_TRUE(dlg.btnOK->isDefault());
    EXPECT_EQ(dlg.btnCancel->text(), "Cancel");
    QStringList texts;
    for (QLabel *l : dlg.findChildren<QLabel *>())
        texts << l->text();
    for (const char *t : {"Please enter a password", "for \"Admin\" user:", "Password:", "Re-enter Password:",
                          "Privilege Level:", "0 = Admin"})
        EXPECT_TRUE(texts.contains(QString::fromLatin1(t))) << t;
}

TEST(AdminPasswordDialog, MismatchKeepsTheDialogOpenWithFocusOnTheFirstField)
{
    ScriptedUi ui;
    TfrmAdminPassword dlg(ui);
    dlg.show();
    dlg.activateWindow();
    dlg.PasswordFld1->insert("Secret");
    dlg.PasswordFld2->insert("secret"); // letter case counts
    dlg.PasswordFld2->setFocus();
    dlg.btnOK->click();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(ui.boxes[0].text, "The passwords entered do not match.  Please try again.");
    EXPECT_EQ(dlg.focusWidget(), dlg.PasswordFld1);

    dlg.PasswordFld2->clear();
    dlg.PasswordFld2->insert("Secret");
    dlg.btnOK->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.password(), "Secret");
}

TEST(AdminPasswordDialog, FieldsTakeAtMostFifteenCharacters)
{
    ScriptedUi ui;
    TfrmAdminPassword dlg(ui);
    dlg.PasswordFld1->insert("0123456789abcdefgh");
    EXPECT_EQ(dlg.password(), "0123456789abcde");
}

class AdminPasswordHookTest : public DirectoryTest {
protected:
    TypingUi typing;
    Context c{Platform{typing, files, clock, random}};
    void SetUp() override
    {
        c.ServerDir = ctx.ServerDir;
        installAdminPasswordDialog(c, nullptr);
    }
};

TEST_F(AdminPasswordHookTest, ConversionTakesThePasswordTypedInTheDialog)
{
    put("users.dat", userRec28("Bob", "1", "b") + userRec28("Carl", "2", "c"));
    typing.first = typing.second = "Typed";
    ASSERT_TRUE(LoadUsers(c));
    EXPECT_EQ(typing.modalShown, std::vector<QString>{"frmAdminPassword"});
    ASSERT_EQ(c.UsersArr.size(), 3u);
    EXPECT_EQ(c.UsersArr[0], (TUserRec{"3.0", "Admin", "0", "Typed", "Y"}));
}

TEST_F(AdminPasswordHookTest, CancelledTwiceGivesTheDefaultPassword)
{
    put("users.dat", userRec28("Bob", "1", "b") + userRec28("Carl", "2", "c"));
    typing.cancel = true;
    ASSERT_TRUE(LoadUsers(c));
    EXPECT_EQ(typing.shown, 2); // a new dialog each time
    EXPECT_EQ(c.UsersArr[0], (TUserRec{"3.0", "Admin", "0", "Korvu", "Y"}));
}
