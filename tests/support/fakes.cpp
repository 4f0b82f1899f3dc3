#include "fakes.h"

#include "pure/linesettings.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace qm::test
{

MaybeFailure FakeSerialPort::fault(const std::string &op, bool needsOpen)
{
    calls.push_back(op);
    if (auto it = once_.find(op); it != once_.end())
        return once_.extract(it).mapped();
    if (auto it = always_.find(op); it != always_.end())
        return it->second;
    if (needsOpen && !open_)
        return Failure{8012, "The device is not open"};
    return std::nullopt;
}

MaybeFailure FakeSerialPort::setPortNumber(int number)
{
    if (auto f = fault("setPortNumber"))
        return f;
    if (open_)
        return Failure{8000, "Operation not valid while the port is opened"};
    if (number < 1 || number > 16)
        return Failure{8002, "Invalid port number"};
    number_ = number;
    return std::nullopt;
}

MaybeFailure FakeSerialPort::setSettings(const std::string &text)
{
    if (auto f = fault("setSettings"))
        return f;
    LineSettings ls;
    if (auto f = ParseLineSettings(text, ls))
        return f;
    settings_ = text;
    return std::nullopt;
}

std::string FakeSerialPort::readAll()
{
    calls.push_back("readAll");
    std::string out;
    out.swap(rx);
    return out;
}

void FakeSerialPort::raise(PortEvent event)
{
    if (handler_)
        handler_(event);
}

TestGateway::TestGateway()
    : gw{GatewayState{}, port, world, world, notifier, status, fields, timers}
{
    static std::atomic<int> counter{0};
    dir = std::filesystem::temp_directory_path() /
          ("qm-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    gw.state.AppPath = dir.string() + PathSeparator;
    gw.state.ConfigFilePath = gw.state.AppPath + "smsconf.conf";
}

TestGateway::~TestGateway()
{
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

std::string TestGateway::readFile(std::string_view name) const
{
    std::ifstream in(dir / std::string(name), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf(); // a folder in the file's place reads as empty
    return ss.str();
}

} // namespace qm::test
