#include "config/settings.h"

#include <fstream>
#include <iterator>
#include <optional>

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

} // namespace

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
    appPath = WithTrailingSeparator(appPath);

    const ConsoleFields &f = gw.fields;
    ConsoleSettings s;
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
