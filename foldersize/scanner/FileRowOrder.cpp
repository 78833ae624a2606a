// FileRowOrder.cpp: ordering the file list's rows: a radix sort for sizes and times, ranks for
// type names, collation keys made on worker threads for names.
#include "foldersize/scanner/FileRowOrder.h"

#include <algorithm>
#include <optional>
#include <type_traits>

#include <QCollator>
#include <QHash>

#include "common/BackgroundWork.h"

namespace foldersize {

namespace {

// Positions ordered by an integer key; ties keep their order in both directions. A stable radix
// sort on the key's bytes, passing over the bytes all keys share (sizes and times differ in their
// low bytes only): a fraction of a comparison sort's time for a hundred thousand files.
template <typename Key> std::vector<std::size_t> orderByKey(const std::vector<Key>& keys, bool descending)
{
    static_assert(std::is_integral_v<Key> && sizeof(Key) == 8);
    struct Item {
        std::uint64_t key;
        std::uint32_t pos;
    };
    // Signed keys are shifted into unsigned order; descending order sorts the complement.
    const auto ordered = [descending](Key k) {
        std::uint64_t u = static_cast<std::uint64_t>(k);
        if constexpr (std::is_signed_v<Key>)
            u ^= std::uint64_t{1} << 63;
        return descending ? ~u : u;
    };
    std::vector<Item> items(keys.size());
    std::uint64_t all = 0;
    std::uint64_t any = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        items[i] = {ordered(keys[i]), static_cast<std::uint32_t>(i)};
        all = i == 0 ? items[i].key : (all & items[i].key);
        any |= items[i].key;
    }
    std::vector<Item> scratch(items.size());
    for (int shift = 0; shift < 64; shift += 8) {
        if (((all ^ any) >> shift & 0xFF) == 0)
            continue; // every key has the same byte here
        std::size_t start[257] = {};
        for (const Item& it : items)
            ++start[(it.key >> shift & 0xFF) + 1];
        for (int b = 0; b < 256; ++b)
            start[b + 1] += start[b];
        for (const Item& it : items)
            scratch[start[it.key >> shift & 0xFF]++] = it;
        items.swap(scratch);
    }
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].pos;
    return order;
}

// Ranks of the texts in the locale's order (equal texts share one rank). A folder holds few
// distinct type names, so each is compared once with the others, not once per file.
std::vector<std::uint32_t> textRanks(const std::vector<QString>& texts)
{
    std::vector<QString> distinct = texts;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    std::stable_sort(distinct.begin(), distinct.end(),
        [](const QString& a, const QString& b) { return QString::localeAwareCompare(a, b) < 0; });
    std::vector<std::uint32_t> rankOfDistinct(distinct.size());
    for (std::size_t i = 1; i < distinct.size(); ++i)
        rankOfDistinct[i] = rankOfDistinct[i - 1] +
            (QString::localeAwareCompare(distinct[i - 1], distinct[i]) != 0 ? 1u : 0u);
    QHash<QString, std::uint32_t> rank;
    for (std::size_t i = 0; i < distinct.size(); ++i)
        rank.insert(distinct[i], rankOfDistinct[i]);
    std::vector<std::uint32_t> out(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        out[i] = rank.value(texts[i]);
    return out;
}

// Collation keys of the names in the default locale's order (as QString::localeAwareCompare
// orders them): each is made once, on worker threads for a long list, and then compared as bytes
// instead of collating two names at every comparison.
std::vector<std::optional<QCollatorSortKey>> nameKeys(
    const std::vector<FileEntry>& entries, const std::vector<std::uint32_t>& rows)
{
    const std::size_t count = rows.size();
    const auto at = [&](std::size_t i) -> const FileEntry& { return entries[rows[i]]; };
    std::vector<std::optional<QCollatorSortKey>> keys(count);
    const auto fill = [&at, &keys](std::size_t from, std::size_t to) {
        const QCollator collator;
        for (std::size_t i = from; i < to; ++i) {
            const std::string& n = at(i).name;
            keys[i].emplace(collator.sortKey(QString::fromUtf8(n.data(), static_cast<qsizetype>(n.size()))));
        }
    };
    constexpr std::size_t kPart = 8192;
    const std::size_t parts = std::min<std::size_t>(8, (count + kPart - 1) / kPart);
    if (parts <= 1) {
        fill(0, count);
        return keys;
    }
    const std::size_t per = (count + parts - 1) / parts;
    std::vector<common::BackgroundWork::Task> running;
    for (std::size_t p = 1; p < parts; ++p) {
        const std::size_t from = p * per;
        const std::size_t to = std::min(count, from + per);
        running.push_back(common::BackgroundWork::program().start([&fill, from, to] { fill(from, to); }));
    }
    fill(0, per);
    for (common::BackgroundWork::Task& r : running)
        r.wait();
    return keys;
}

// Positions 0..rows.size()-1 in column order, where position i holds entries[rows[i]].
std::vector<std::size_t> orderOf(const std::vector<FileEntry>& entries,
    const std::vector<std::uint32_t>& rows, FileColumn column, bool descending)
{
    const std::size_t count = rows.size();
    const auto at = [&](std::size_t i) -> const FileEntry& { return entries[rows[i]]; };
    switch (column) {
    case FileColumn::Size: {
        std::vector<std::uint64_t> keys(count);
        for (std::size_t i = 0; i < count; ++i)
            keys[i] = at(i).size;
        return orderByKey(keys, descending);
    }
    case FileColumn::Modified: {
        std::vector<qint64> keys(count);
        for (std::size_t i = 0; i < count; ++i)
            keys[i] = at(i).mtime;
        return orderByKey(keys, descending);
    }
    case FileColumn::Type: {
        std::vector<QString> types(count);
        for (std::size_t i = 0; i < count; ++i)
            types[i] = at(i).typeName;
        const std::vector<std::uint32_t> ranks = textRanks(types);
        return orderByKey(std::vector<std::uint64_t>(ranks.begin(), ranks.end()), descending);
    }
    case FileColumn::Name: break;
    }
    const std::vector<std::optional<QCollatorSortKey>> keys = nameKeys(entries, rows);
    auto less = [&keys](std::size_t a, std::size_t b) { return keys[a]->compare(*keys[b]) < 0; };
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (descending)
        std::stable_sort(
            order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return less(b, a); });
    else
        std::stable_sort(order.begin(), order.end(), less);
    return order;
}

} // namespace

std::vector<std::uint32_t> sortedRows(const std::vector<FileEntry>& entries,
    const std::vector<std::uint32_t>& rows, FileColumn column, bool descending)
{
    const std::vector<std::size_t> order = orderOf(entries, rows, column, descending);
    std::vector<std::uint32_t> sorted(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        sorted[i] = rows[order[i]];
    return sorted;
}

} // namespace foldersize
