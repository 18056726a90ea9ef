#include "ui/QtAlertPresenter.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

#include <utility>

#include <unistd.h>

#include "errors/errorHandler.h"
#include "platform/FrontApplication.h"
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

std::vector<QPushButton*> addButtons(QMessageBox& box, const Alert& alert)
{
    const std::vector<std::string> titles =
        alert.buttonTitles.empty() ? std::vector<std::string>{localized("OK").toStdString()} : alert.buttonTitles;
    std::vector<QPushButton*> buttons;
    for (const auto& title : titles)
        buttons.push_back(box.addButton(QString::fromStdString(title), QMessageBox::AcceptRole));
    box.setDefaultButton(buttons.front());
    return buttons;
}

void fill(QMessageBox& box, const Alert& alert)
{
    prepare(box, alert.windowTitle);
    box.setText(QString::fromStdString(alert.messageText));
    box.setInformativeText(literalText(alert.informativeText));
    if (alert.showsSuppressionButton)
        box.setCheckBox(new QCheckBox(QtAlertPresenter::suppressionTitle()));
}

AlertResponse responseOf(const QMessageBox& box, const std::vector<QPushButton*>& buttons)
{
    AlertResponse response;
    const auto clicked = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    response.buttonIndex = clicked == buttons.end() ? AlertResponse::NoButton : static_cast<int>(clicked - buttons.begin());
    response.suppressionChecked = box.checkBox() && box.checkBox()->isChecked();
    return response;
}

bool sameTexts(const Alert& a, const Alert& b)
{
    return a.messageText == b.messageText && a.informativeText == b.informativeText && a.buttonTitles == b.buttonTitles;
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
    fill(box, alert);
    const auto buttons = addButtons(box, alert);
    box.exec();
    return responseOf(box, buttons);
}

// An equal alert already up is brought forward; another one is closed (its completion told) and
// this one takes its place, so alerts never pile up and no modal loop runs.
void QtAlertPresenter::show(const Alert& alert, Completion completion)
{
    if (mShown && mShown->isVisible() && sameTexts(mShownAlert, alert)) {
        mShown->raise();
        FrontApplication::current()->activateWindow(static_cast<std::uint64_t>(mShown->winId()));
        return;
    }
    // A box that is closing already (its answer may be what shows this alert) is left to go.
    if (mShown && mShown->isVisible())
        mShown->done(QDialog::Rejected); // answered with no button; a close could be refused
    auto* box = new QMessageBox;
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    fill(*box, alert);
    const auto buttons = addButtons(*box, alert);
    QObject::connect(box, &QDialog::finished, box, [box, buttons, completion, answered = false]() mutable {
        if (completion && !std::exchange(answered, true))
            completion(responseOf(*box, buttons));
    });
    mShown = box;
    mShownAlert = alert;
    box->show();
    box->raise();
    box->activateWindow();
    // Another application in front keeps the keyboard unless the window manager is asked.
    QTimer::singleShot(0, box, [box] { FrontApplication::current()->activateWindow(static_cast<std::uint64_t>(box->winId())); });
}

std::optional<Alert> QtAlertPresenter::shownAlert() const
{
    if (!mShown || !mShown->isVisible())
        return std::nullopt;
    return mShownAlert;
}

// A bare error (no description) is shown as its domain and code.
void QtAlertPresenter::presentError(const Error& error)
{
    Alert alert = alertForError(error, errorHandler::sharedInstance().windowTitle());
    if (error.localizedDescription.empty())
        alert.messageText = localizedFormat("The operation couldn't be completed. (%@ error %@.)",
                                            {error.domain, std::to_string(error.code)})
                                .toStdString();
    show(alert, {});
}

} // namespace qm
