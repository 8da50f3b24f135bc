#include "admin/admin_password_dialog.h"

#include "mainwin/context.h"
#include "platform/ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace nv {

const QString kPasswordsDoNotMatch = QStringLiteral("The passwords entered do not match.  Please try again.");

namespace {

constexpr int kPasswordMax = 15;

QLineEdit *passwordEdit(QWidget *parent, const QString &name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // "*"
    e->setMaxLength(kPasswordMax);
    return e;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

} // namespace

TfrmAdminPassword::TfrmAdminPassword(Ui &ui, QWidget *parent) : QDialog(parent), m_ui(ui)
{
    setObjectName(QStringLiteral("frmAdminPassword"));
    setWindowTitle(QStringLiteral("Enter Admin Password"));
    // A dialog border: fixed size, no minimize or maximize.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    auto *top = new QVBoxLayout(this);
    top->addWidget(label(this, QStringLiteral("Label1"), QStringLiteral("Please enter a password")));
    top->addWidget(label(this, QStringLiteral("Label2"), QStringLiteral("for \"Admin\" user:")));

    auto *grid = new QGridLayout;
    PasswordFld1 = passwordEdit(this, QStringLiteral("PasswordFld1"));
    PasswordFld2 = passwordEdit(this, QStringLiteral("PasswordFld2"));
    auto *l3 = label(this, QStringLiteral("Label3"), QStringLiteral("Password:"));
    auto *l4 = label(this, QStringLiteral("Label4"), QStringLiteral("Re-enter Password:"));
    l3->setBuddy(PasswordFld1);
    l4->setBuddy(PasswordFld2);
    grid->addWidget(l3, 0, 0);
    grid->addWidget(PasswordFld1, 1, 0);
    grid->addWidget(l4, 2, 0);
    grid->addWidget(PasswordFld2, 3, 0);
    grid->addWidget(label(this, QStringLiteral("Label5"), QStringLiteral("Privilege Level:")), 0, 1);
    grid->addWidget(label(this, QStringLiteral("Label6"), QStringLiteral("0 = Admin")), 1, 1);
    top->addLayout(grid);

    auto *buttons = new QHBoxLayout;
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnOK->setAutoDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOK, &QPushButton::clicked, this, &TfrmAdminPassword::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject); // Escape rejects too

    PasswordFld1->setFocus();
}

QString TfrmAdminPassword::password() const { return PasswordFld1->text(); }

void TfrmAdminPassword::btnOKClick()
{
    // Compared exactly: passwords are case sensitive.
    if (PasswordFld1->text() != PasswordFld2->text()) {
        m_ui.error(kPasswordsDoNotMatch);
        PasswordFld1->setFocus();
        return;
    }
    accept();
}

void installAdminPasswordDialog(Context &ctx, QWidget *parent)
{
    QPointer<QWidget> owner(parent);
    ctx.enterAdminPassword = [&ctx, owner](QString &password) {
        TfrmAdminPassword dlg(ctx.ui, owner.data());
        if (ctx.ui.showModal(&dlg) != QDialog::Accepted)
            return false;
        password = dlg.password();
        return true;
    };
}

} // namespace nv
