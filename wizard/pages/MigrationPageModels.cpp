// MigrationPageModels.cpp: the rows of the space, drive-mapping and report pages.
#include "wizard/pages/MigrationPageModels.h"

#include "platform/RunningMachine.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/WizardCore.h"
#include "wizard/rules/FilesFoldersMigration.h"
#include "wizard/transfer/TransferPlatform.h"

#include <pugixml.hpp>

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

namespace wizard {

using transfer::TransferOutcome;

std::int64_t applicationSizeMb(const std::string& name)
{
    const std::string script = AppPath + "\\WKXFiles\\APPS\\" + name + ".wkx";
    if (!transfer::fileExists(script))
        return 0;
    // The engine's loader, which logs a damaged script once however often the page is built.
    pugi::xml_document doc;
    if (!core().engine.readScript("APPS\\" + name + ".wkx", doc).loaded())
        return 0;
    const pugi::xpath_node size = doc.select_node("//size");
    if (!size)
        return 0;
    const std::string text = size.node().text().as_string();
    char* end = nullptr;
    const double mb = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(mb) || mb < 0 || mb > 1e15)
        return 0;
    std::fesetround(FE_TONEAREST);
    return static_cast<std::int64_t>(std::nearbyint(mb));
}

std::vector<DriveSpaceRow> localFixedDrives()
{
    std::vector<DriveSpaceRow> rows;
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return rows;
    for (const platform::DriveEntry& d : machine->config().drives) {
        if (!isLocalFixedDrive(d.letter))
            continue;
        DriveSpaceRow row;
        row.drive = std::string(1, d.letter) + ":";
        std::uint64_t total = 0, free = 0;
        if (machine->network().diskSpace(row.drive + "\\", total, free) == platform::WinError::Success) {
            row.sizesKnown = true;
            row.totalMb = static_cast<double>(total) / 1024.0 / 1024.0;
            row.freeMb = static_cast<double>(free) / 1024.0 / 1024.0;
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<DriveSpaceRow> spaceRows(const SpaceNeeds& needs, const SpaceSources& given)
{
    const auto applicationMb = given.applicationMb ? given.applicationMb : applicationSizeMb;
    const auto driveCheck =
        given.driveCheck ? given.driveCheck : [](const std::string& p) { return Drive_Check(p); };
    std::vector<DriveSpaceRow> rows = given.drives ? given.drives() : localFixedDrives();
    std::vector<std::uint64_t> bytes(rows.size(), 0);
    const auto addTo = [&](const std::string& path, std::uint64_t n) {
        const std::string landed = driveCheck(path);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (landed.size() >= 2 && landed.compare(0, 2, rows[i].drive) == 0)
                bytes[i] += n;
    };
    for (const std::string& app : needs.applications)
        addTo(AppPath, static_cast<std::uint64_t>(std::max<std::int64_t>(0, applicationMb(app))) << 20);
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].requiredMb = static_cast<std::int64_t>((bytes[i] + (1U << 20) - 1) >> 20);
    return rows;
}

std::string formatMb(double mb)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", mb);
    return text;
}

std::vector<DriveMappingRow> driveMappingRows(
    const std::vector<std::string>& adminShares, const std::vector<std::string>& fixedDrives)
{
    std::vector<DriveMappingRow> rows;
    for (const std::string& share : adminShares)
        if (!share.empty())
            rows.push_back({share, fixedDrives});
    if (rows.empty())
        rows.push_back({"", fixedDrives});
    return rows;
}

std::vector<ReportRow> reportRows(const MigrationReport& report)
{
    ReportRowReader reader(report);
    std::vector<ReportRow> rows;
    rows.reserve(reader.size());
    while (!reader.atEnd())
        rows.push_back(reader.next());
    return rows;
}

ReportRowReader::ReportRowReader(const MigrationReport& report)
    : m_report(report)
{
    const std::vector<MigrationReport::Entry>& entries = report.entries();
    for (ReportGroup group :
        {ReportGroup::Applications, ReportGroup::Settings, ReportGroup::FilesAndFolders}) {
        const std::size_t groupRow = m_places.size();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].group != group)
                continue;
            if (m_places.size() == groupRow)
                m_places.push_back({group, 0, true});
            m_places.push_back({group, i, false});
        }
    }
}

ReportRow ReportRowReader::next()
{
    const Place& place = m_places[m_next++];
    const std::string caption(groupCaption(place.group));
    if (place.isGroup)
        return {caption, caption, "", "", true};
    const MigrationReport::Entry& e = m_report.entries()[place.entry];
    return {caption + "\\" + e.item, "   " + e.item, std::string(outcomeText(e.outcome)), e.detail, false};
}

std::string reportRowTip(const ReportRow& row)
{
    if (row.isGroup)
        return {};
    const std::size_t start = row.text.find_first_not_of(' ');
    std::string tip =
        (start == std::string::npos ? std::string() : row.text.substr(start)) + "\n" + row.status;
    if (!row.description.empty())
        tip += ": " + row.description;
    return tip;
}

} // namespace wizard
