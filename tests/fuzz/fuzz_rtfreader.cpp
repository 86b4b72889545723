// libFuzzer target for the RTF reader: any bytes must read without a crash,
// a hang or unbounded memory, and what the writer makes of the result must
// read back to the same document.
#include "platform/rtfreader.h"
#include "platform/rtfwriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The image decoders complain about every broken picture; keep the log readable.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray in(reinterpret_cast<const char *>(data), qsizetype(size));
    const vt::rtf::ReadResult first = vt::rtf::readRtf(in);
    const QByteArray written = vt::rtf::writeRtf(first.document);
    const vt::rtf::ReadResult second = vt::rtf::readRtf(written);
    if (!second.complete || vt::rtf::writeRtf(second.document) != written) {
        std::fprintf(stderr, "write-read round trip drifted:\n%s\n", written.constData());
        std::abort();
    }
    return 0;
}
