#pragma once

#include <QAbstractNativeEventFilter>

// Reads the decimal separator again whenever Windows announces that the user
// changed the regional settings (WM_SETTINGCHANGE for "intl", sent to every
// top-level window), which Qt passes on to no widget. Other systems send no
// such notice; there the watcher sees nothing. Installed on the application
// for its lifetime.
class RegionalSettingsWatcher final : public QAbstractNativeEventFilter
{
public:
    RegionalSettingsWatcher();
    ~RegionalSettingsWatcher() override;
    RegionalSettingsWatcher(const RegionalSettingsWatcher &) = delete;
    RegionalSettingsWatcher &operator=(const RegionalSettingsWatcher &) = delete;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
};
