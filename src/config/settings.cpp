#include "config/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#ifdef _WIN32
#include <filesystem>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qm
{
namespace
{

std::optional<std::string> readWholeFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return content;
}

Failure lastError(const char *what)
{
    const int e = errno;
    return Failure{e, std::string(what) + ": " + std::strerror(e)};
}

} // namespace

#ifdef _WIN32
MaybeFailure WriteFileAtomically(const std::string &path, const std::string &content)
{
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return Failure{errno, "cannot create " + tmp};
        out.write(content.data(), std::streamsize(content.size()));
        out.flush();
        if (!out)
            return Failure{errno, "cannot write " + tmp};
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        return Failure{ec.value(), ec.message()};
    }
    return std::nullopt;
}
#else
MaybeFailure WriteFileAtomically(const std::string &path, const std::string &content)
{
    // Replacing goes through the folder, so it would succeed over a file the
    // operator made read-only: honour the file's own permission instead.
    struct stat st {
    };
    if (::stat(path.c_str(), &st) == 0 &&
        ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0))
        return Failure{EACCES, "the file is read-only"};
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data()); // created with mode 0600
    if (fd < 0)
        return lastError("cannot create a temporary file");
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Failure f = lastError("cannot write");
            ::close(fd);
            ::unlink(tmp.c_str());
            return f;
        }
        done += std::size_t(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        Failure f = lastError("cannot write");
        ::unlink(tmp.c_str());
        return f;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        Failure f = lastError("cannot replace");
        ::unlink(tmp.c_str());
        return f;
    }
    return std::nullopt;
}
#endif

ConsoleSettings LoadSettings(Gateway &gw, const std::string &programFolder, FileDialog &dialog)
{
    ConsoleSettings settings;
    const std::string own = programFolder + ConfigFileName;
    gw.state.ConfigFilePath = own;

    std::optional<std::string> content = readWholeFile(own);
    if (!content) {
        if (auto picked = dialog.askOpenFile(ConfigFileName, ConfigFileFilter)) {
            content = readWholeFile(*picked);
            if (content)
                gw.state.ConfigFilePath = *picked;
        }
    }
    if (!content) {
        gw.status.setText("No settings file could be read; starting with empty settings (they "
                          "will be saved to " +
                          own + ")");
        return settings;
    }
    ParseConfig(*content, settings);
    return settings;
}

void SaveSettings(Gateway &gw)
{
    std::string &appPath = gw.state.AppPath;
    if (appPath.empty() || appPath.back() != PathSeparator)
        appPath += PathSeparator;

    const ConsoleFields &f = gw.fields;
    SavedSettings s;
    s.AppPath = appPath;
    s.Port = f.modemIndex() + 1;
    s.Setting = f.smsType();
    s.BaudRate = f.baudRate();
    s.SMSCenterNumber = f.smsCenterNumber();
    s.Protocol = f.protocol();
    s.OpType = f.operationType();
    s.TAPStoredText = f.storedText();
    s.TAPDeliveredText = f.deliveredText();
    s.AuthenticationCode = f.authenticationCode();
    s.LegitimizationCode = f.legitimizationCode();
    s.PollingInterval = gw.timers.CheckPendingSMS.interval();

    if (auto failure = WriteFileAtomically(gw.state.ConfigFilePath, FormatConfig(s)))
        gw.status.setText("Settings not saved to " + gw.state.ConfigFilePath + ": " +
                          failure->description);
}

} // namespace qm
