#include "tests/zip/TestZipBuilder.h"

#include <zlib.h>

#include <cstdio>

namespace {

void Put16(std::vector<uint8_t>& out, unsigned v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::string RawDeflate(const std::string& data)
{
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

}  // namespace

TestZipBuilder& TestZipBuilder::Add(const Entry& entry)
{
    entries_.push_back(entry);
    return *this;
}

TestZipBuilder& TestZipBuilder::AddFile(const std::string& name, const std::string& data)
{
    Entry e;
    e.name = name;
    e.data = data;
    return Add(e);
}

std::vector<uint8_t> TestZipBuilder::UtBlock(uint8_t flags, int32_t modification, int32_t access, int32_t creation)
{
    std::vector<uint8_t> b;
    std::vector<uint8_t> body{flags};
    if (flags & 1)
        Put32(body, static_cast<uint32_t>(modification));
    if (flags & 2)
        Put32(body, static_cast<uint32_t>(access));
    if (flags & 4)
        Put32(body, static_cast<uint32_t>(creation));
    Put16(b, 0x5455);
    Put16(b, static_cast<unsigned>(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

std::vector<uint8_t> TestZipBuilder::Build() const
{
    std::vector<uint8_t> out, central;
    for (const Entry& e : entries_) {
        const uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        const std::string packed = e.deflate ? RawDeflate(e.data) : e.data;
        const uint16_t flags = e.dataDescriptor ? 0x0008 : 0;
        const uint16_t method = e.deflate ? 8 : 0;
        const uint32_t offset = static_cast<uint32_t>(out.size());

        Put32(out, 0x04034b50);
        Put16(out, 20);
        Put16(out, flags);
        Put16(out, method);
        Put16(out, e.dosTime);
        Put16(out, e.dosDate);
        Put32(out, e.dataDescriptor ? 0 : crc);
        Put32(out, e.dataDescriptor ? 0 : static_cast<uint32_t>(packed.size()));
        Put32(out, e.dataDescriptor ? 0 : static_cast<uint32_t>(e.data.size()));
        Put16(out, static_cast<unsigned>(e.name.size()));
        Put16(out, static_cast<unsigned>(e.localExtra.size()));
        out.insert(out.end(), e.name.begin(), e.name.end());
        out.insert(out.end(), e.localExtra.begin(), e.localExtra.end());
        out.insert(out.end(), packed.begin(), packed.end());
        if (e.dataDescriptor) {
            Put32(out, 0x08074b50);
            Put32(out, crc);
            Put32(out, static_cast<uint32_t>(packed.size()));
            Put32(out, static_cast<uint32_t>(e.data.size()));
        }

        Put32(central, 0x02014b50);
        Put16(central, e.versionMadeBy);
        Put16(central, 20);
        Put16(central, flags);
        Put16(central, method);
        Put16(central, e.dosTime);
        Put16(central, e.dosDate);
        Put32(central, crc);
        Put32(central, static_cast<uint32_t>(packed.size()));
        Put32(central, static_cast<uint32_t>(e.data.size()));
        Put16(central, static_cast<unsigned>(e.name.size()));
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put16(central, 0);
        Put32(central, e.externalAttributes);
        Put32(central, offset);
        central.insert(central.end(), e.name.begin(), e.name.end());
    }
    const uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out.insert(out.end(), central.begin(), central.end());
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(entries_.size()));
    Put16(out, static_cast<unsigned>(entries_.size()));
    Put32(out, static_cast<uint32_t>(central.size()));
    Put32(out, centralOffset);
    Put16(out, 0);
    return out;
}

size_t TestZipBuilder::DataOffset(size_t index) const
{
    size_t at = 0;
    for (size_t i = 0;; ++i) {
        const Entry& e = entries_[i];
        const size_t header = 30 + e.name.size() + e.localExtra.size();
        if (i == index)
            return at + header;
        at += header + (e.deflate ? RawDeflate(e.data).size() : e.data.size()) + (e.dataDescriptor ? 16 : 0);
    }
}

bool WriteBytes(const std::string& pathUtf8, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(pathUtf8.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
