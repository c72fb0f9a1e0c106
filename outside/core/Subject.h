#pragma once

#include "outside/core/CoreApi.h"

#include <vector>

namespace ZEM_0_81 {

/// What changed, passed with a notification. The default hint says only
/// "something changed".
class ZEMCORE_API NotificationHint {
public:
    NotificationHint() = default;
};

class Subject;

/// Receives the notifications of the subjects it is attached to.
class ZEMCORE_API Observer {
public:
    virtual ~Observer() = default;
    virtual void onNotify(const Subject& subject, const NotificationHint& hint) = 0;
};

/// An object that observers can watch. Observers are not owned; they must detach
/// before they die. Observers belong to one object: copying or assigning a
/// subject leaves the observers of both sides as they were.
class ZEMCORE_API Subject {
public:
    Subject() = default;
    Subject(const Subject&) {}
    Subject& operator=(const Subject&) { return *this; }
    virtual ~Subject();

    /// Adds an observer; attaching one twice has no further effect.
    void attach(Observer* observer);
    void detach(Observer* observer);

    /// Calls every attached observer once, in the order they were attached.
    void notify(const NotificationHint& hint) const;

private:
    std::vector<Observer*> m_observers;
};

} // namespace ZEM_0_81
