#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "foundation/PlistValue.h"
#include "platform/AlertPresenter.h"

namespace qm {

// Coded error messages for the user. The error table maps a code written in decimal ("-60") to
// two formats, the message and the informative text, each taking one parameter written %@.
// Messages are shown in an alert that nothing waits for, or through the application's error presentation
// (the installed AlertPresenter).
class errorHandler {
public:
    // The table is loaded from the resource "errors" on first use.
    static errorHandler& sharedInstance();
    // Absent table: every code falls back to the unknown-error message.
    explicit errorHandler(std::optional<PlistDictionary> errorTable);

    errorHandler(const errorHandler&) = delete;
    errorHandler& operator=(const errorHandler&) = delete;

    // Class operations, on the shared instance. Parameters are texts already formatted by the caller.
    static void errorMessageWithErrorCode(std::int32_t code, std::optional<std::string> param1,
                                          std::optional<std::string> param2);
    // May be called on any thread: the error is presented on the main thread, without waiting.
    static void presentErrorMessageWithErrorCode(std::int32_t code, std::optional<std::string> param1,
                                                 std::optional<std::string> param2);
    static void errorMessage(const std::string& message, const std::optional<std::string>& informativeText);
    static bool informationExistsForError(std::int32_t code);

    // The entry's message format filled with the parameter, else the unknown-error message with the code.
    std::string getMessageWithFormat(std::int32_t code, const std::optional<std::string>& param) const;
    // The entry's informative format filled with the parameter (empty when the entry has none);
    // nothing when the table has no entry.
    std::optional<std::string> getInformativeTextWithFormat(std::int32_t code,
                                                            const std::optional<std::string>& param) const;
    bool hasInformationForError(std::int32_t code) const;

    // The alert of a coded message: the window title, the message from p1, the informative text from p2.
    Alert alertForErrorCode(std::int32_t code, const std::optional<std::string>& param1,
                            const std::optional<std::string>& param2) const;
    // Message from p1, informative text from p2.
    void displayErrorMessageWithErrorCode(std::int32_t code, const std::optional<std::string>& param1,
                                          const std::optional<std::string>& param2);
    // Activates the application and shows the alert on the main thread (moving there when called
    // on another thread) without waiting for it.
    void displayErrorMessage(const std::string& message, const std::optional<std::string>& informativeText);
    void presentErrorMessage(std::int32_t code, const std::optional<std::string>& param1,
                             const std::optional<std::string>& param2);

    // The title of later alerts; nothing restores "<application name> alert".
    void setWindowTitle(std::optional<std::string> title);
    std::string windowTitle() const;

    // "CFBundleName" of the bundle's Info resource, else the process name.
    static const std::string& applicationName();

private:
    const PlistArray* entry(std::int32_t code) const;
    std::optional<std::string> formatAt(std::int32_t code, std::size_t index, const std::optional<std::string>& param) const;

    const std::optional<PlistDictionary> mErrorDictionary;
    mutable std::mutex mMutex;
    std::optional<std::string> mWindowTitle;
};

} // namespace qm
