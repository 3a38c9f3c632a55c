// Tells every top-level window that the regional settings have changed, as
// Windows' own settings do after the user changed them.
#include <windows.h>

int main(void)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, (LPARAM)L"intl",
                               SMTO_ABORTIFHUNG, 5000, &result)
               ? 0
               : 1;
}
