#include "bench/support/floor_reader.h"

#include <algorithm>
#include <fstream>

std::vector<FloorRow> FloorOpen(const std::string &fileName)
{
    std::ifstream in(fileName, std::ios::binary | std::ios::ate);
    std::string bytes(size_t(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), std::streamsize(bytes.size()));
    std::vector<FloorRow> rows;
    size_t start = bytes.find_first_of("\r\n");
    while (start != std::string::npos && start < bytes.size()) {
        while (start < bytes.size() && (bytes[start] == '\r' || bytes[start] == '\n'))
            ++start;
        if (start >= bytes.size())
            break;
        const size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        FloorRow row;
        row.reserve(6);
        size_t fieldStart = start;
        for (size_t i = start; i <= end; ++i) {
            if (i == end || bytes[i] == ';') {
                row.emplace_back(bytes, fieldStart, i - fieldStart);
                fieldStart = i + 1;
            }
        }
        rows.push_back(std::move(row));
        start = end;
    }
    std::sort(rows.begin(), rows.end(),
              [](const FloorRow &a, const FloorRow &b) { return a.front() < b.front(); });
    return rows;
}
