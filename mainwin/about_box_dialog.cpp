#include "mainwin/about_box_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace nv {

namespace {

QPixmap aboutPicture()
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1f, 0x5f, 0xa8));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(4, 12, 56, 40, 6, 6);
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(8, 16, 32, 36);
    p.drawLine(32, 36, 56, 16);
    return pm;
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    auto *grid = new QGridLayout(this);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setPixmap(aboutPicture());
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);

    auto *product = new QLabel(QStringLiteral("Norvane"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont f = product->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    product->setFont(f);
    grid->addWidget(product, 0, 1, 1, 2);

    auto *label = new QLabel(QStringLiteral("Version"), this);
    label->setObjectName(QStringLiteral("Version"));
    grid->addWidget(label, 1, 1);
    VersionField = new QLabel(this);
    VersionField->setObjectName(QStringLiteral("VersionField"));
    grid->addWidget(VersionField, 1, 2);

    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    grid->addWidget(ok, 2, 0, 1, 3, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::setVersionText(const QString &text) { VersionField->setText(text); }

} // namespace nv
