#include "app/regional_settings.h"

#include "core/number_text.h"

#include <QCoreApplication>

#ifdef Q_OS_WIN
#include <qt_windows.h>

#include <cwchar>
#endif

RegionalSettingsWatcher::RegionalSettingsWatcher()
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

RegionalSettingsWatcher::~RegionalSettingsWatcher()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool RegionalSettingsWatcher::nativeEventFilter(const QByteArray &eventType, void *message,
                                                qintptr *)
{
#ifdef Q_OS_WIN
    if (eventType != "windows_generic_MSG" || !message)
        return false;
    const auto *msg = static_cast<const MSG *>(message);
    // lParam names the area that changed; colours, policies or the work area
    // leave the numbers alone. The new separator serves the next conversion;
    // texts already shown stay as they are.
    if (msg->message == WM_SETTINGCHANGE && msg->lParam != 0 &&
        std::wcscmp(reinterpret_cast<const wchar_t *>(msg->lParam), L"intl") == 0)
        ReadDecimalSeparator();
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
#endif
    // Qt and the other windows get the notice too.
    return false;
}
