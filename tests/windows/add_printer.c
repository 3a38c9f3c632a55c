// Adds a PostScript printer that writes into a file and makes it the
// default, so that a print job of the program under Wine can be read back:
//   add_printer.exe PORT-FILE
// The printer description pdf_printer.ppd must lie in the driver folder.
#include <windows.h>
#include <winspool.h>

#include <stdio.h>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    DRIVER_INFO_3W driver = {0};
    driver.cVersion = 3;
    driver.pName = L"Wine PostScript Driver";
    driver.pDriverPath = L"wineps.drv";
    driver.pDataFile = L"pdf_printer.ppd";
    driver.pConfigFile = L"wineps.drv";
    if (!AddPrinterDriverW(NULL, 3, (BYTE *)&driver) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        fprintf(stderr, "no printer driver: %lu\n", GetLastError());
        return 1;
    }
    PRINTER_INFO_2W printer = {0};
    printer.pPrinterName = L"Menuvera PDF";
    printer.pPortName = argv[1];
    printer.pDriverName = driver.pName;
    printer.pPrintProcessor = L"WinPrint";
    printer.pDatatype = L"RAW";
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE handle = AddPrinterW(NULL, 2, (BYTE *)&printer);
    if (!handle) {
        fprintf(stderr, "no printer: %lu\n", GetLastError());
        return 1;
    }
    ClosePrinter(handle);
    return SetDefaultPrinterW(printer.pPrinterName) ? 0 : 1;
}
