#pragma once
#include <QDialog>

class QLabel;

namespace nv {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    void setVersionText(const QString &text);

private:
    QLabel *VersionField = nullptr;
};

} // namespace nv
