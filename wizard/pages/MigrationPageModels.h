// MigrationPageModels.h: what the space, drive-mapping and report pages show, as plain data built
// from the selection, this PC's drives and the migration report; the pages only display it.
#pragma once

#include "wizard/transfer/MigrationReport.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace wizard {

// --- space page ---------------------------------------------------------------------------------

// One fixed drive of this PC with what the chosen items will take of it.
struct DriveSpaceRow {
    std::string drive; // "C:"
    bool sizesKnown = false;
    double totalMb = 0;
    double freeMb = 0;
    std::int64_t requiredMb = 0; // rounded up
};

// What the chosen items need of this PC's drives: the applications, whose scripts name their sizes.
// Chosen files and folders are not measured: summing a large tree on the window's thread held the
// page up for seconds, for a grid the list covers.
struct SpaceNeeds {
    std::vector<std::string> applications; // names; their scripts give their sizes
};

struct SpaceSources {
    // Megabytes an application needs; default: applicationSizeMb.
    std::function<std::int64_t(const std::string& name)> applicationMb;
    // This PC's fixed drives ("C:") in drive order with their sizes; default: the running machine's.
    std::function<std::vector<DriveSpaceRow>()> drives;
    // Which fixed drive a path lands on; default: Drive_Check.
    std::function<std::string(const std::string& path)> driveCheck;
};

// The megabytes the first "size" element of the application's script names (a fraction rounds
// to the nearest whole number, a half to the even one); 0 when the script is missing, cannot be
// read or names no usable number. Sizes are 64-bit: a large application is never dropped.
std::int64_t applicationSizeMb(const std::string& name);
// The running machine's fixed drives with a medium, with their sizes.
std::vector<DriveSpaceRow> localFixedDrives();

// One row per fixed drive; the applications count on the drive of the program folder.
std::vector<DriveSpaceRow> spaceRows(const SpaceNeeds& needs, const SpaceSources& sources = {});

// A size in megabytes as the grid writes it: up to 15 significant digits, no thousands separators
// ("38146.97265625").
std::string formatMb(double mb);

// --- drive-mapping page -------------------------------------------------------------------------

struct DriveMappingRow {
    std::string sourceDrive;                    // "C:"; "" when no share was found
    std::vector<std::string> destinationDrives; // this PC's fixed drives, the first one chosen
};

// One row per administrative share of the source PC ("C:", "D:"; empty entries left out), or one
// row with an empty source drive when there is none.
std::vector<DriveMappingRow> driveMappingRows(
    const std::vector<std::string>& adminShares, const std::vector<std::string>& fixedDrives);

// --- report page --------------------------------------------------------------------------------

struct ReportRow {
    std::string key;  // unique: the group caption, or the caption, "\" and the item
    std::string text; // the caption, or three spaces and the item
    std::string status;
    std::string description;
    bool isGroup = false;
};

// A group row and one row per item for each group that has items, in the order Applications,
// Settings, Files and Folders. Items of different groups never share a row.
std::vector<ReportRow> reportRows(const MigrationReport& report);

// The rows of reportRows one at a time, so that a page can show a report of many thousand items a
// part at a time. Only the rows' places are worked out up front; each row is formed when it is
// read. The report must outlive the reader and stay unchanged while rows are read.
class ReportRowReader {
public:
    explicit ReportRowReader(const MigrationReport& report);
    std::size_t size() const { return m_places.size(); }
    bool atEnd() const { return m_next >= m_places.size(); }
    // The next row; call only while !atEnd().
    ReportRow next();

private:
    struct Place {
        ReportGroup group;
        std::size_t entry; // index in the report's entries; unused for a group row
        bool isGroup;
    };
    const MigrationReport& m_report;
    std::vector<Place> m_places;
    std::size_t m_next = 0;
};
// The tip of an item row: the whole item on one line, its status (and what became of it, when
// there is a description) on the next; "" for a group row.
std::string reportRowTip(const ReportRow& row);

} // namespace wizard
