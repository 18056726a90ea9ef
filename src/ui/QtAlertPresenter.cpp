#include "ui/QtAlertPresenter.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>

#include "errors/errorHandler.h"
#include "ui/Localized.h"
#include "ui/ResourceImages.h"

namespace qm {

namespace {

// Line breaks of any platform as the box shows them, the text never read as markup.
QString literalText(const std::string& text)
{
    QString plain = QString::fromStdString(text);
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    return Qt::convertFromPlainText(plain, Qt::WhiteSpaceNormal);
}

void prepare(QMessageBox& box, const std::string& title)
{
    box.setWindowTitle(QString::fromStdString(title));
    box.setWindowIcon(ResourceImages::applicationIcon());
    box.setIcon(QMessageBox::Warning);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setTextFormat(Qt::PlainText);
}

} // namespace

QString QtAlertPresenter::suppressionTitle()
{
    return localized("Do not show this message again");
}

void QtAlertPresenter::activateApplication()
{
    if (QWidget* window = QApplication::activeWindow())
        window->activateWindow();
}

AlertResponse QtAlertPresenter::runModal(const Alert& alert)
{
    QMessageBox box;
    prepare(box, alert.windowTitle);
    box.setText(QString::fromStdString(alert.messageText));
    box.setInformativeText(literalText(alert.informativeText));
    const std::vector<std::string> titles =
        alert.buttonTitles.empty() ? std::vector<std::string>{localized("OK").toStdString()} : alert.buttonTitles;
    std::vector<QPushButton*> buttons;
    for (const auto& title : titles)
        buttons.push_back(box.addButton(QString::fromStdString(title), QMessageBox::AcceptRole));
    box.setDefaultButton(buttons.front());
    if (alert.showsSuppressionButton)
        box.setCheckBox(new QCheckBox(suppressionTitle()));
    box.exec();
    AlertResponse response;
    const auto clicked = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    response.buttonIndex = clicked == buttons.end() ? 0 : static_cast<int>(clicked - buttons.begin());
    response.suppressionChecked = box.checkBox() && box.checkBox()->isChecked();
    return response;
}

// A bare error (no description) is shown as its domain and code.
void QtAlertPresenter::presentError(const Error& error)
{
    QMessageBox box;
    prepare(box, errorHandler::sharedInstance().windowTitle());
    box.setText(error.localizedDescription.empty()
                    ? localizedFormat("The operation couldn't be completed. (%@ error %@.)",
                                      {error.domain, std::to_string(error.code)})
                    : QString::fromStdString(error.localizedDescription));
    box.setInformativeText(literalText(error.localizedRecoverySuggestion));
    box.addButton(localized("OK"), QMessageBox::AcceptRole);
    box.exec();
}

} // namespace qm
