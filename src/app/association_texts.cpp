#include "app/association_texts.h"

#include <algorithm>
#include <cctype>

namespace sw {

namespace {

constexpr AssociatedType kTypes[] = {
    {"m3q", "application/x-slicewell-cue", true, "Slicewell cue file", "Slicewell4-QFile"},
    {"m3p", "application/x-slicewell-project", true, "Slicewell project", "SlicewellProject"},
    {"m3i", "application/x-slicewell-index", true, "Slicewell frame index", "Slicewell4-Index"},
    {"mp3", "audio/mpeg", false, nullptr, nullptr},
    {"wav", "audio/x-wav", false, nullptr, nullptr},
    {"m3u", "audio/x-mpegurl", false, nullptr, nullptr},
};

constexpr const char* kAddedGroup = "Added Associations";
constexpr const char* kRemovedGroup = "Removed Associations";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A mimeapps.list text as lines, so that an edit touches only the lines it means to.
struct Lines {
    std::vector<std::string> lines;
    bool endsWithNewline = false;

    explicit Lines(const std::string& text) {
        size_t start = 0;
        while (start < text.size()) {
            const size_t end = text.find('\n', start);
            if (end == std::string::npos) {
                lines.push_back(text.substr(start));
                return;
            }
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        endsWithNewline = !text.empty();
    }

    std::string Text() const {
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i) {
            text += lines[i];
            if (i + 1 < lines.size() || endsWithNewline) {
                text += '\n';
            }
        }
        return text;
    }

    static bool IsHeader(const std::string& line) {
        const std::string t = Trimmed(line);
        return t.size() >= 2 && t.front() == '[' && t.back() == ']';
    }

    // The header line of the first group of that name, or npos.
    size_t Group(const std::string& name) const {
        for (size_t i = 0; i < lines.size(); ++i) {
            if (IsHeader(lines[i]) && Trimmed(lines[i]) == "[" + name + "]") {
                return i;
            }
        }
        return std::string::npos;
    }

    // One past the group's last line.
    size_t GroupEnd(size_t header) const {
        size_t i = header + 1;
        while (i < lines.size() && !IsHeader(lines[i])) {
            ++i;
        }
        return i;
    }

    // The line of key inside the group starting at header, or npos.
    size_t Key(size_t header, const std::string& key) const {
        for (size_t i = header + 1; i < GroupEnd(header); ++i) {
            const std::string t = Trimmed(lines[i]);
            if (t.empty() || t[0] == '#') {
                continue;
            }
            const size_t equals = lines[i].find('=');
            if (equals != std::string::npos && Trimmed(lines[i].substr(0, equals)) == key) {
                return i;
            }
        }
        return std::string::npos;
    }
};

std::string ValueOf(const std::string& line) {
    return line.substr(line.find('=') + 1);
}

std::vector<std::string> Entries(const std::string& value) {
    std::vector<std::string> entries;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find(';', start);
        if (end == std::string::npos) {
            end = value.size();
        }
        const std::string entry = Trimmed(value.substr(start, end - start));
        if (!entry.empty()) {
            entries.push_back(entry);
        }
        start = end + 1;
    }
    return entries;
}

bool Lists(const Lines& text, const char* group, const std::string& key, const std::string& id) {
    const size_t header = text.Group(group);
    if (header == std::string::npos) {
        return false;
    }
    const size_t line = text.Key(header, key);
    if (line == std::string::npos) {
        return false;
    }
    const std::vector<std::string> entries = Entries(ValueOf(text.lines[line]));
    return std::find(entries.begin(), entries.end(), id) != entries.end();
}

bool HasContent(const Lines& text, size_t header) {
    for (size_t i = header + 1; i < text.GroupEnd(header); ++i) {
        if (!Trimmed(text.lines[i]).empty()) {
            return true;
        }
    }
    return false;
}

// Characters that make an Exec argument need quotes.
constexpr const char* kReservedInExec = " \t\"'\\><~|&;$*?#()`";

}  // namespace

const AssociatedType* FindAssociatedType(const std::string& extension) {
    const std::string wanted = Lower(extension);
    for (const AssociatedType& type : kTypes) {
        if (wanted == type.Extension) {
            return &type;
        }
    }
    return nullptr;
}

std::vector<const AssociatedType*> OwnTypes() {
    std::vector<const AssociatedType*> own;
    for (const AssociatedType& type : kTypes) {
        if (type.Own) {
            own.push_back(&type);
        }
    }
    return own;
}

std::optional<std::string> ExecArgument(const std::string& executable) {
    if (executable.empty()) {
        return std::nullopt;
    }
    for (const unsigned char c : executable) {
        if (c < 0x20 && c != '\t') {
            return std::nullopt;
        }
    }
    std::string argument;
    if (executable.find_first_of(kReservedInExec) == std::string::npos) {
        argument = executable;
    } else {
        argument = "\"";
        for (const char c : executable) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') {
                argument += '\\';
            }
            argument += c;
        }
        argument += '"';
    }
    // The field codes' "%" and then the string value's own escape for the backslash.
    std::string value;
    for (const char c : argument) {
        if (c == '%') {
            value += "%%";
        } else if (c == '\\') {
            value += "\\\\";
        } else if (c == '\t') {
            value += "\\t";
        } else {
            value += c;
        }
    }
    return value;
}

std::string DesktopEntryText(const std::string& executable,
                             const std::vector<std::string>& mimeTypes) {
    const std::optional<std::string> exec = ExecArgument(executable);
    if (!exec) {
        return {};
    }
    std::string text =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Version=1.4\n"
        "Name=Slicewell 4\n"
        "GenericName=MPEG audio cutter\n"
        "Comment=Cut MPEG audio files frame by frame, without re-encoding\n"
        "Exec=" +
        *exec +
        " %F\n"
        "Icon=audio-x-generic\n"
        "Terminal=false\n"
        "Categories=AudioVideo;Audio;AudioVideoEditing;\n";
    if (!mimeTypes.empty()) {
        text += "MimeType=";
        for (const std::string& type : mimeTypes) {
            text += type + ";";
        }
        text += "\n";
    }
    return text;
}

std::string MimePackageText(const AssociatedType& type) {
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"") +
           type.MimeType + "\">\n    <comment>" + type.Comment +
           "</comment>\n    <glob pattern=\"*." + type.Extension +
           "\"/>\n    <magic priority=\"50\">\n      <match type=\"string\" offset=\"0\" "
           "value=\"" +
           type.Signature +
           "\"/>\n    </magic>\n  </mime-type>\n"
           "</mime-info>\n";
}

std::string WithAddedAssociation(const std::string& mimeApps, const std::string& mimeType,
                                 const std::string& desktopId) {
    Lines text(mimeApps);
    if (Lists(text, kRemovedGroup, mimeType, desktopId) ||
        Lists(text, kAddedGroup, mimeType, desktopId)) {
        return mimeApps;
    }
    const std::string entry = mimeType + "=" + desktopId + ";";
    const size_t header = text.Group(kAddedGroup);
    if (header == std::string::npos) {
        std::string added = mimeApps;
        if (!added.empty() && added.back() != '\n') {
            added += '\n';
        }
        return added + "[" + kAddedGroup + "]\n" + entry + "\n";
    }
    const size_t line = text.Key(header, mimeType);
    if (line != std::string::npos) {
        std::string& current = text.lines[line];
        const std::string value = Trimmed(ValueOf(current));
        if (!value.empty() && value.back() != ';') {
            current += ';';
        }
        current += desktopId + ";";
        return text.Text();
    }
    // After the group's last entry, so that blank lines before the next group stay where they
    // were.
    size_t at = header + 1;
    for (size_t i = header + 1; i < text.GroupEnd(header); ++i) {
        if (!Trimmed(text.lines[i]).empty()) {
            at = i + 1;
        }
    }
    text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
    return text.Text();
}

std::string WithoutAddedAssociation(const std::string& mimeApps, const std::string& mimeType,
                                    const std::string& desktopId) {
    Lines text(mimeApps);
    const size_t header = text.Group(kAddedGroup);
    if (header == std::string::npos) {
        return mimeApps;
    }
    const size_t line = text.Key(header, mimeType);
    if (line == std::string::npos) {
        return mimeApps;
    }
    std::vector<std::string> entries = Entries(ValueOf(text.lines[line]));
    const auto found = std::find(entries.begin(), entries.end(), desktopId);
    if (found == entries.end()) {
        return mimeApps;
    }
    entries.erase(found);
    if (entries.empty()) {
        text.lines.erase(text.lines.begin() + static_cast<std::ptrdiff_t>(line));
        if (!HasContent(text, header)) {
            text.lines.erase(text.lines.begin() + static_cast<std::ptrdiff_t>(header));
        }
        return text.Text();
    }
    std::string& current = text.lines[line];
    const std::string suffix = desktopId + ";";
    if (current.ends_with(";" + suffix)) {
        // What adding appended: cut exactly that.
        current.resize(current.size() - suffix.size());
        return text.Text();
    }
    std::string value;
    for (const std::string& entry : entries) {
        value += entry + ";";
    }
    const size_t equals = current.find('=');
    const size_t valueStart = current.find_first_not_of(" \t", equals + 1);
    current = current.substr(0, valueStart == std::string::npos ? equals + 1 : valueStart) + value;
    return text.Text();
}

bool NamesAddedAssociation(const std::string& mimeApps, const std::string& desktopId) {
    const Lines text(mimeApps);
    const size_t header = text.Group(kAddedGroup);
    if (header == std::string::npos) {
        return false;
    }
    for (size_t i = header + 1; i < text.GroupEnd(header); ++i) {
        if (text.lines[i].find('=') == std::string::npos) {
            continue;
        }
        const std::vector<std::string> entries = Entries(ValueOf(text.lines[i]));
        if (std::find(entries.begin(), entries.end(), desktopId) != entries.end()) {
            return true;
        }
    }
    return false;
}

}  // namespace sw
