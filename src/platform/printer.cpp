#include "platform/printer.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>
#include <optional>

namespace vt {

namespace {

std::unique_ptr<QPrinter> &slot()
{
    static std::unique_ptr<QPrinter> p;
    return p;
}

std::optional<bool> &installedOverride()
{
    static std::optional<bool> v;
    return v;
}

// The printer must go before the application object does.
void dropPrinter() { slot().reset(); }

} // namespace

QPrinter &Printer()
{
    auto &p = slot();
    if (!p) {
        const QPrinterInfo def = QPrinterInfo::defaultPrinter();
        p = def.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                         : std::make_unique<QPrinter>(def, QPrinter::HighResolution);
        if (def.isNull())
            p->setOutputFormat(QPrinter::PdfFormat);
        qAddPostRoutine(dropPrinter);
    }
    return *p;
}

bool printerInstalled()
{
    if (installedOverride())
        return *installedOverride();
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QStringList printerNames() { return QPrinterInfo::availablePrinterNames(); }

bool setPrinterByName(QPrinter &printer, const QString &name)
{
    const QString wanted = name.trimmed().toUpper();
    bool found = false;
    // Every match is applied, so the last one wins, as the platform's printer
    // list did it.
    for (const QString &n : printerNames())
        if (n.toUpper() == wanted) {
            printer.setPrinterName(n);
            found = true;
        }
    return found;
}

int printerPageWidthTwips()
{
    const QRectF paper = Printer().pageLayout().fullRect(QPageLayout::Millimeter);
    return qRound(paper.width() * 1440.0 / 25.4);
}

namespace printer_testing {
void setInstalled(bool installed) { installedOverride() = installed; }
void clear()
{
    installedOverride().reset();
    slot().reset();
}
} // namespace printer_testing

} // namespace vt
