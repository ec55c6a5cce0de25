#pragma once

#include <exception>
#include <utility>

#include "platform/AppError.h"
#include "platform/MessageBoxes.h"

// Runs one event handler the way the program's general error display expects: a SilentAbort
// ends it quietly, any other error is shown with its own text, and nothing ever escapes into
// the Qt event loop. Returns true when the handler ran to its end.
template <typename Handler>
bool runGuarded(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const SilentAbort&) {
    } catch (const AppError& e) {
        MessageBoxes::error(e.text());
    } catch (const std::exception& e) {
        MessageBoxes::error(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        MessageBoxes::error(QStringLiteral("Unknown error"));
    }
    return false;
}

// A slot for connect(): calls a member handler of `object` inside the guard.
template <typename Object, typename... Args>
auto guarded(Object* object, void (Object::*handler)(Args...)) {
    return [object, handler](Args... args) { runGuarded([&] { (object->*handler)(args...); }); };
}
