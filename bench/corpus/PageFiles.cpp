#include "corpus/PageFiles.h"

#include <algorithm>
#include <string>

#include "corpus/CorpusFiles.h"
#include "corpus/PressMetadata.h"

namespace qm::bench {

namespace {

constexpr std::uint64_t BlockSize = 256u << 10;

// About 1 KiB: a cross-reference table of 48 entries and the trailer.
std::string pdfTrailer(int objects)
{
    std::string text = "xref\n0 48\n0000000000 65535 f \n";
    for (int entry = 1; entry < 48; ++entry)
        text += std::string(10 - std::to_string(entry * 262311).size(), '0') + std::to_string(entry * 262311) + " 00000 n \n";
    return text + "trailer\n<< /Size " + std::to_string(objects) + " /Root 1 0 R /Info 2 0 R >>\nstartxref\n0\n%%EOF\n";
}

std::string pdfStreamHeader(int object, std::uint64_t length, const char* dictionary)
{
    return std::to_string(object) + " 0 obj\n<< /Length " + std::to_string(length) + dictionary + " >>\nstream\n";
}

// Objects of image-like streams until about `end` bytes are written.
int writePdfContent(OutputFile& file, int number, std::uint64_t end, const ScanBlock& scan)
{
    int object = 3;
    while (file.position() + 100 < end) {
        const std::uint64_t length = std::min(BlockSize, end - file.position() - 100);
        file.write(pdfStreamHeader(object, length, " /Filter /FlateDecode /Type /XObject /Subtype /Image"));
        writeScanBytes(file, scan, number + object, length);
        file.write("\nendstream\nendobj\n");
        ++object;
    }
    return object;
}

// The binary header: the PostScript section after it, no Windows metafile, then the TIFF preview.
Bytes epsHeader(std::uint32_t postScriptLength, std::uint32_t previewLength)
{
    constexpr std::uint32_t headerLength = 30;
    Bytes header{0xC5, 0xD0, 0xD3, 0xC6};
    for (std::uint32_t value : {headerLength, postScriptLength, 0u, 0u, headerLength + postScriptLength, previewLength})
        appendLittleEndian32(header, value);
    appendLittleEndian16(header, 0xFFFF);
    return header;
}

} // namespace

void writeLargePdf(const std::filesystem::path& path, int number, std::uint64_t size, bool withPacket,
                   const ScanBlock& scan)
{
    const std::string packet = withPacket ? PressMetadata(number).xmpPacket() : "";
    OutputFile file(path);
    file.write("%PDF-1.6\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
    const std::uint64_t contentEnd = size > packet.size() + 2048 ? size - packet.size() - 2048 : 0;
    int objects = writePdfContent(file, number, contentEnd, scan);
    if (withPacket) {
        file.write(pdfStreamHeader(objects++, packet.size(), " /Type /Metadata /Subtype /XML"));
        file.write(packet);
        file.write("\nendstream\nendobj\n");
    }
    file.write(pdfTrailer(objects));
}

void writeLargeEps(const std::filesystem::path& path, int number, std::uint64_t size, const ScanBlock& scan)
{
    OutputFile file(path);
    file.write(epsHeader(0, 0));
    file.write("%!PS-Adobe-3.0 EPSF-3.0\n%%Creator: Photo Desk 4.2\n%%BoundingBox: 0 0 5000 5000\n%%EndComments\n");
    const std::uint64_t contentEnd = size > 8192 ? size - 8192 : 0;
    for (int block = 0; file.position() + 64 < contentEnd; ++block) {
        const std::uint64_t length = std::min(BlockSize, contentEnd - file.position() - 64);
        file.write("%%BeginBinary: " + std::to_string(length) + "\n");
        writeScanBytes(file, scan, number + block, length);
        file.write("\n%%EndBinary\n");
    }
    file.write("%ADO_BeginXMP\n" + PressMetadata(number).xmpPacket() + "\n%ADO_EndXMP\nshowpage\n%%EOF\n");
    const auto postScriptLength = static_cast<std::uint32_t>(file.position() - 30);
    Bytes preview{'I', 'I', 42, 0, 8, 0, 0, 0};
    preview.resize(1024, 0);
    file.write(preview);
    file.writeAt(0, epsHeader(postScriptLength, static_cast<std::uint32_t>(preview.size())));
}

} // namespace qm::bench
