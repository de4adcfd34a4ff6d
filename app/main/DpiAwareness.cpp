#include "app/main/DpiAwareness.h"

#include <utility>

DpiAwarenessChoice ChooseDpiAwareness(const DpiAwarenessCalls& calls) {
    const std::pair<const std::function<DpiCallResult()>*, DpiAwarenessChoice> kOrder[] = {
        {&calls.setPerMonitorV2, DpiAwarenessChoice::PerMonitorV2},
        {&calls.setPerMonitor, DpiAwarenessChoice::PerMonitor},
        {&calls.setSystemAware, DpiAwarenessChoice::SystemAware},
    };
    for (const auto& step : kOrder) {
        if (!*step.first) continue;
        switch ((*step.first)()) {
            case DpiCallResult::Set:
                return step.second;
            case DpiCallResult::AlreadySet:
                // An older form would not change it, and must not be reported as the choice.
                return DpiAwarenessChoice::AlreadySet;
            case DpiCallResult::Missing:
            case DpiCallResult::Failed:
                break;
        }
    }
    return DpiAwarenessChoice::None;
}
