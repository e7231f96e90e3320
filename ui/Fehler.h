#pragma once
// The one application-wide error handler, and the wrapper through which every
// handler is connected: an exception abandons the action, its text is shown,
// and the event loop carries on. Nothing else in the program catches broadly.
#include <QObject>
#include <QString>
#include <functional>
#include <stdexcept>

namespace ui {

// Shows the text of the exception that is being handled in a message box.
void ZeigeFehler(const std::exception& e);

// Runs `aktion`; an exception it throws goes to the error handler.
// Returns false when the action was abandoned.
bool Geschuetzt(const std::function<void()>& aktion);

// connect() for handlers: `handler` runs through the error handler.
// The handler may take the signal's leading arguments or none.
template <typename Sender, typename Signal, typename Receiver, typename... Args>
QMetaObject::Connection Verbinde(Sender* sender, Signal signal, Receiver* receiver,
                                 void (Receiver::*handler)(Args...))
{
    return QObject::connect(sender, signal, receiver, [receiver, handler](Args... args) {
        Geschuetzt([&] { (receiver->*handler)(args...); });
    });
}

// Same for a lambda or other callable.
template <typename Sender, typename Signal, typename Context, typename Functor>
QMetaObject::Connection VerbindeAktion(Sender* sender, Signal signal, Context* context, Functor f)
{
    return QObject::connect(sender, signal, context, [f]() { Geschuetzt(f); });
}

}  // namespace ui
