// Print jobs on the default printer through the spooler (winspool).
#include "ui/printers.h"

#include "ui/system_proc.h"

#include <winspool.h>

namespace wl {
namespace {

[[noreturn]] void RaiseLastError() {
    DWORD error = GetLastError();
    throw EPrinter(Win32ErrorText(error ? error : ERROR_INVALID_PRINTER_NAME));
}

} // namespace

TPrinter::TPrinter() = default;

TPrinter::~TPrinter() {
    if (FPrinting && FDC) AbortDoc(FDC.get());
    if (FCanvas) FCanvas->SetHandle(nullptr);
}

std::string TPrinter::PrinterName() const {
    auto* getDefaultPrinter = SystemFunction<decltype(::GetDefaultPrinterA)>(L"winspool.drv", "GetDefaultPrinterA");
    if (!getDefaultPrinter) throw EPrinter("There is no default printer currently selected");
    DWORD size = 0;
    getDefaultPrinter(nullptr, &size);
    std::string name(size, '\0');
    if (size == 0 || !getDefaultPrinter(name.data(), &size))
        throw EPrinter("There is no default printer currently selected");
    name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
    return name;
}

HDC TPrinter::Handle() {
    if (!FDC) {
        std::string name = PrinterName();
        FDC.reset(CreateDCA("WINSPOOL", name.c_str(), nullptr, nullptr));
        if (!FDC) RaiseLastError();
    }
    return FDC.get();
}

TCanvas& TPrinter::Canvas() {
    if (!FPrinting) throw EPrinter("Printer is not currently printing");
    return *FCanvas;
}

void TPrinter::BeginDoc(const std::string& title) {
    if (FPrinting) throw EPrinter("Printing in progress");
    HDC dc = Handle();
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    if (StartDocA(dc, &doc) <= 0) RaiseLastError();
    if (StartPage(dc) <= 0) {
        DWORD error = GetLastError();
        AbortDoc(dc);
        throw EPrinter(Win32ErrorText(error));
    }
    FPrinting = true;
    FAborted = false;
    FPageNumber = 1;
    if (!FCanvas) FCanvas = std::make_unique<TCanvas>();
    FCanvas->SetHandle(dc);
    FCanvas->Font().SetPixelsPerInch(GetDeviceCaps(dc, LOGPIXELSY));
}

void TPrinter::NewPage() {
    if (!FPrinting) throw EPrinter("Printer is not currently printing");
    // A page change resets the device context's selections, so the canvas selects anew.
    FCanvas->SetHandle(nullptr);
    if (EndPage(FDC.get()) <= 0 || StartPage(FDC.get()) <= 0) RaiseLastError();
    FCanvas->SetHandle(FDC.get());
    ++FPageNumber;
}

void TPrinter::EndDoc() {
    if (!FPrinting) throw EPrinter("Printer is not currently printing");
    FCanvas->SetHandle(nullptr);
    FPrinting = false;
    bool ok = EndPage(FDC.get()) > 0;
    ok = ::EndDoc(FDC.get()) > 0 && ok;
    if (!ok) RaiseLastError();
}

void TPrinter::Abort() {
    if (!FPrinting) throw EPrinter("Printer is not currently printing");
    FCanvas->SetHandle(nullptr);
    AbortDoc(FDC.get());
    FPrinting = false;
    FAborted = true;
}

int TPrinter::PageWidth() { return GetDeviceCaps(Handle(), HORZRES); }
int TPrinter::PageHeight() { return GetDeviceCaps(Handle(), VERTRES); }
int TPrinter::XDpi() { return GetDeviceCaps(Handle(), LOGPIXELSX); }
int TPrinter::YDpi() { return GetDeviceCaps(Handle(), LOGPIXELSY); }

TPrinter& Printer() {
    static TPrinter printer;
    return printer;
}

} // namespace wl
