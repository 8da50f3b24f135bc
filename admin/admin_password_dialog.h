#pragma once
// TfrmAdminPassword, "Enter Admin Password": asks for the password of the
// "Admin" user while the users file is converted. Made anew each time it is
// needed; the caller reads the password from PasswordFld1.
#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace nv {

class Context;
class Ui;

// Shown when the two password fields differ (also by the "New User" dialog).
extern const QString kPasswordsDoNotMatch;

class TfrmAdminPassword : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAdminPassword(Ui &ui, QWidget *parent = nullptr);

    QString password() const;

    QLineEdit *PasswordFld1 = nullptr;
    QLineEdit *PasswordFld2 = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

private:
    void btnOKClick();
    Ui &m_ui;
};

// Puts the dialog behind ctx.enterAdminPassword (parent: the window it is
// centred on; may be null).
void installAdminPasswordDialog(Context &ctx, QWidget *parent);

} // namespace nv
