#include "outside/core/Subject.h"

#include <algorithm>

namespace ZEM_0_81 {

Subject::~Subject() = default;

void Subject::attach(Observer* observer) {
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void Subject::detach(Observer* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

void Subject::notify(const NotificationHint& hint) const {
    // Work on a copy so that an observer may detach itself while being notified.
    const std::vector<Observer*> observers = m_observers;
    for (Observer* observer : observers)
        observer->onNotify(*this, hint);
}

} // namespace ZEM_0_81
