#include "errors/errorHandler.h"

#include <cerrno>
#include <string_view>

#include "foundation/Bundle.h"
#include "foundation/Error.h"
#include "foundation/Log.h"
#include "foundation/MainThread.h"
#include "foundation/StringFormat.h"
#include "platform/AlertPresenter.h"

namespace qm {

namespace {

std::string fillObject(std::string_view format, const std::optional<std::string>& param)
{
    return formatText(format, {param.value_or("")});
}

std::optional<PlistDictionary> loadErrorTable()
{
    auto table = Bundle::main().plistResource("errors");
    if (table && table->dictionary())
        return std::move(*table->dictionary());
    if (table)
        Log::message("errorHandler: the resource \"errors\" is not a dictionary");
    return std::nullopt;
}

std::string loadApplicationName()
{
    if (auto info = Bundle::main().plistResource("Info"))
        if (const PlistValue* name = info->find("CFBundleName"); name && name->string() && !name->string()->empty())
            return *name->string();
    return program_invocation_short_name;
}

} // namespace

errorHandler& errorHandler::sharedInstance()
{
    static errorHandler instance(loadErrorTable());
    return instance;
}

errorHandler::errorHandler(std::optional<PlistDictionary> errorTable) : mErrorDictionary(std::move(errorTable)) {}

void errorHandler::errorMessageWithErrorCode(std::int32_t code, std::optional<std::string> param1,
                                             std::optional<std::string> param2)
{
    sharedInstance().displayErrorMessageWithErrorCode(code, param1, param2);
}

void errorHandler::presentErrorMessageWithErrorCode(std::int32_t code, std::optional<std::string> param1,
                                                    std::optional<std::string> param2)
{
    sharedInstance().presentErrorMessage(code, param1, param2);
}

void errorHandler::errorMessage(const std::string& message, const std::optional<std::string>& informativeText)
{
    sharedInstance().displayErrorMessage(message, informativeText);
}

bool errorHandler::informationExistsForError(std::int32_t code)
{
    return sharedInstance().hasInformationForError(code);
}

bool errorHandler::hasInformationForError(std::int32_t code) const
{
    return mErrorDictionary && mErrorDictionary->contains(std::to_string(code));
}

const PlistArray* errorHandler::entry(std::int32_t code) const
{
    if (!mErrorDictionary)
        return nullptr;
    auto found = mErrorDictionary->find(std::to_string(code));
    return found == mErrorDictionary->end() ? nullptr : found->second.array();
}

std::optional<std::string> errorHandler::formatAt(std::int32_t code, std::size_t index,
                                                  const std::optional<std::string>& param) const
{
    const PlistArray* formats = entry(code);
    if (!formats || index >= formats->size() || !(*formats)[index].string())
        return std::nullopt;
    return fillObject(*(*formats)[index].string(), param);
}

std::string errorHandler::getMessageWithFormat(std::int32_t code, const std::optional<std::string>& param) const
{
    if (auto message = formatAt(code, 0, param); message && !message->empty())
        return *message;
    return formatText(Bundle::main().localizedString("An unknown error has occurred. Error code: %d. There should be "
                                                     "more information available about this error."),
                      {std::to_string(code)});
}

std::optional<std::string> errorHandler::getInformativeTextWithFormat(std::int32_t code,
                                                                      const std::optional<std::string>& param) const
{
    if (!hasInformationForError(code))
        return std::nullopt;
    return formatAt(code, 1, param).value_or("");
}

Alert errorHandler::alertForErrorCode(std::int32_t code, const std::optional<std::string>& param1,
                                     const std::optional<std::string>& param2) const
{
    return Alert{windowTitle(), getMessageWithFormat(code, param1), getInformativeTextWithFormat(code, param2).value_or(""),
                 {}, false};
}

void errorHandler::displayErrorMessageWithErrorCode(std::int32_t code, const std::optional<std::string>& param1,
                                                    const std::optional<std::string>& param2)
{
    displayErrorMessage(getMessageWithFormat(code, param1), getInformativeTextWithFormat(code, param2));
}

// The alert is shown without waiting for it, also on the main thread: a caller that waits on the
// main thread's queue from the main thread would wait for ever, and a modal loop per alert would nest.
void errorHandler::displayErrorMessage(const std::string& message, const std::optional<std::string>& informativeText)
{
    Alert alert{windowTitle(), message, informativeText.value_or(""), {}, false};
    MainThread::perform(
        [alert = std::move(alert)] {
            auto presenter = AlertPresenter::current();
            presenter->activateApplication();
            presenter->show(alert, {});
        },
        false);
}

void errorHandler::presentErrorMessage(std::int32_t code, const std::optional<std::string>& param1,
                                       const std::optional<std::string>& param2)
{
    Error error{applicationName(), code, getMessageWithFormat(code, param1),
                getInformativeTextWithFormat(code, param2).value_or("")};
    MainThread::perform([error = std::move(error)] { AlertPresenter::current()->presentError(error); }, false);
}

void errorHandler::setWindowTitle(std::optional<std::string> title)
{
    std::lock_guard lock(mMutex);
    mWindowTitle = std::move(title);
}

std::string errorHandler::windowTitle() const
{
    {
        std::lock_guard lock(mMutex);
        if (mWindowTitle)
            return *mWindowTitle;
    }
    return fillObject(Bundle::main().localizedString("%@ alert"), applicationName());
}

const std::string& errorHandler::applicationName()
{
    static const std::string name = loadApplicationName();
    return name;
}

} // namespace qm
