// The default printer: a print job with pages and a canvas on the printer's device context.
// Every failure of the printing service is an EPrinter with the service's own text.
#pragma once

#include "ui/graphics.h"

#include <memory>
#include <string>

namespace wl {

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // Name of the default printer; throws EPrinter "There is no default printer currently
    // selected" when there is none.
    std::string PrinterName() const;

    // Starts a job on the default printer and its first page. Throws EPrinter (printer missing,
    // service error, or a job already running: "Printing in progress").
    void BeginDoc(const std::string& title = "");
    // Ends the current page and starts the next one.
    void NewPage();
    // Finishes the job; "Printer is not currently printing" when none is running.
    void EndDoc();
    // Cancels the job.
    void Abort();
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }

    // Valid while printing; its font uses the printer's resolution.
    TCanvas& Canvas();
    // Device context of the default printer (created on demand, kept for later jobs).
    HDC Handle();
    // Printable area in device pixels and resolution in dots per inch.
    int PageWidth();
    int PageHeight();
    int XDpi();
    int YDpi();

private:
    UniqueDC FDC;
    std::unique_ptr<TCanvas> FCanvas;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
};

// The program's printer object.
TPrinter& Printer();

} // namespace wl
