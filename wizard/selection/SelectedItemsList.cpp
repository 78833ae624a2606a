// SelectedItemsList.cpp: the space page's checklist and progress bar.
#include "wizard/selection/SelectedItemsList.h"

#include "platform/CodePage.h"

#include <cmath>

namespace wizard {

namespace {
constexpr std::string_view kSettingPrefixes[] = {"DESKTOP_", "CONTROL_", "NETWORK_", "OTHERS_"};
}

void SelectedItemsList::changed(Change change) const
{
    if (m_changed)
        m_changed(change);
}

void SelectedItemsList::clearRows()
{
    emptyBeside(m_rows);
    emptyBeside(m_index);
    changed({Change::Kind::Cleared});
}

void SelectedItemsList::reserveRows(std::size_t count)
{
    m_rows.reserve(m_rows.size() + count);
    m_index.reserve(m_index.size() + count);
}

void SelectedItemsList::addRow(const std::string& key, const std::string& text)
{
    if (!m_index.emplace(platform::foldCase(key), m_rows.size()).second)
        return;
    m_rows.push_back({key, text, Mark::None});
    changed({Change::Kind::Added, m_rows.size() - 1});
}

void SelectedItemsList::setProgressMaximum(double maximum)
{
    m_maximum = std::isfinite(maximum) && maximum > 0 ? maximum : 0;
    m_value = 0;
    changed({Change::Kind::Progress});
}

const SelectedItemsList::Row* SelectedItemsList::find(std::string_view key) const
{
    const auto it = m_index.find(platform::foldCase(key));
    return it == m_index.end() ? nullptr : &m_rows[it->second];
}

const SelectedItemsList::Row* SelectedItemsList::findApplication(std::string_view name) const
{
    return find("APP_" + std::string(name));
}

const SelectedItemsList::Row* SelectedItemsList::findSetting(std::string_view name) const
{
    for (std::string_view prefix : kSettingPrefixes)
        if (const Row* r = find(std::string(prefix) + std::string(name)))
            return r;
    return nullptr;
}

bool SelectedItemsList::setMark(std::string_view key, Mark mark)
{
    const auto it = m_index.find(platform::foldCase(key));
    if (it == m_index.end())
        return false;
    m_rows[it->second].mark = mark;
    changed({Change::Kind::Marked, it->second});
    return true;
}

void SelectedItemsList::advance(double step)
{
    if (!(step > 0) || !std::isfinite(step) || m_value + step > m_maximum + 1e-9)
        return;
    m_value += step;
    changed({Change::Kind::Progress});
}

void SelectedItemsList::resetProgress()
{
    m_value = 0;
    changed({Change::Kind::Progress});
}

SelectedItemsList& selectedItemsList()
{
    static SelectedItemsList list;
    return list;
}

} // namespace wizard
