// TreeImages.h: the selection trees' image list beyond the page's own 40 images: application
// icons (keyed by the application's name) and file and folder icons, one per kind of item.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace wizard {

class TreeImages {
public:
    struct Image {
        std::string key;    // application icons: the application's name; file icons: empty
        std::string source; // application icons: the picture's Windows path; file icons: the kind
    };

    // Index of the first image added at run time; images 1 to 40 are the page's own.
    static constexpr int kFirstAdded = 41;

    // Appends an application icon; false (nothing added) when the key is present already.
    bool addKeyed(const std::string& key, const std::string& source);
    // The index of the icon for a file or folder path, appending one for its kind ("folder", or
    // the file's extension in lower case, "" for none) the first time that kind is seen. Icons are
    // shared by kind, so that listing a large folder does not grow the list with every entry.
    int iconFor(const std::string& path, bool folder);

    // 1-based index of the last image, the page's own included.
    int count() const { return kFirstAdded - 1 + static_cast<int>(m_images.size()); }
    // The image at `index` (41 or more); null when there is none.
    const Image* at(int index) const;
    // The index of the first application icon whose key, in upper case, occurs in `name` in upper
    // case; 0 when none does. `key` receives that icon's key.
    int matchKeyed(const std::string& name, std::string& key) const;
    void clear();

private:
    std::vector<Image> m_images;
    std::map<std::string, int> m_byKind;
};

} // namespace wizard
