#include "ui/qt_interaction.h"

#include <QMessageBox>

namespace torvik {
namespace {

QString BoxText(const std::string& text)
{
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

void QtInteraction::ShowError(const std::string& text)
{
    QMessageBox::critical(nullptr, kBoxTitle, BoxText(text));
}

void QtInteraction::ShowInformation(const std::string& text)
{
    QMessageBox::information(nullptr, kBoxTitle, BoxText(text));
}

bool QtInteraction::AskYesNo(const std::string& text)
{
    return QMessageBox::question(nullptr, kBoxTitle, BoxText(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtInteraction::AskOkCancel(const std::string& text)
{
    return QMessageBox::information(nullptr, kBoxTitle, BoxText(text), QMessageBox::Ok | QMessageBox::Cancel,
                                    QMessageBox::Ok) == QMessageBox::Ok;
}

}  // namespace torvik
