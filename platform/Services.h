// The Windows services the program stops and starts again, through the
// service control manager.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The states of a service as the service control manager reports them,
// with two of our own: no service of that name, and a state that could
// not be read (the manager or the service refused the query).
enum class TServiceState : std::uint8_t {
    Missing,
    Unknown,
    Stopped,
    StartPending,
    StopPending,
    Running,
    ContinuePending,
    PausePending,
    Paused
};

class IServices {
public:
    virtual ~IServices() = default;

    virtual TServiceState QueryState(const std::string& Name) = 0;
    // Asks the service to stop. True when it accepted, or was stopping or
    // stopped already; the stop itself may take a while (WaitForState).
    virtual bool Stop(const std::string& Name) = 0;
    // Asks the manager to start the service. True when it started it, or
    // the service was running already.
    virtual bool Start(const std::string& Name) = 0;
    // Waits until the service is in the state, at most BoundMilliseconds;
    // true when it got there.
    virtual bool WaitForState(const std::string& Name, TServiceState Wanted, std::uint32_t BoundMilliseconds) = 0;
};

}  // namespace platform
