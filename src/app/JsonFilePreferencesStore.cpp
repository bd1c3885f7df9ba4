#include "app/JsonFilePreferencesStore.h"

#include "app/LogCategories.h"
#include "core/Iso8601.h"
#include "core/PathRules.h"
#include "core/Utf8.h"
#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"
#include "platform/UserFolders.h"

#include <QByteArray>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

using nlohmann::json;

std::string base64(const std::string &bytes)
{
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64().toStdString();
}

std::optional<std::string> fromBase64(const std::string &text)
{
    const auto result = QByteArray::fromBase64Encoding(QByteArray::fromStdString(text),
                                                       QByteArray::AbortOnBase64DecodingErrors);
    if (!result) {
        return std::nullopt;
    }
    return result.decoded.toStdString();
}

// ISO 8601 in UTC with all nine fraction digits, so a date reads back exactly as it was stored:
// "2026-12-06T01:02:03.123456789Z".
std::string formatPreciseDate(PreferenceDate date)
{
    using namespace std::chrono;
    const auto whole = floor<seconds>(date);
    const auto fraction = duration_cast<nanoseconds>(date - whole).count();
    std::string text = formatIso8601(whole);
    char digits[16];
    std::snprintf(digits, sizeof digits, ".%09lld", static_cast<long long>(fraction));
    text.insert(text.size() - 1, digits);
    return text;
}

std::optional<PreferenceDate> parsePreciseDate(const std::string &text)
{
    const auto dot = text.find('.');
    if (dot == std::string::npos) {
        return parseIso8601(text);
    }
    const std::string digits = text.substr(dot + 1, text.size() - dot - 2);
    if (text.back() != 'Z' || digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const auto whole = parseIso8601(text.substr(0, dot) + "Z");
    if (!whole) {
        return std::nullopt;
    }
    const long long nanoseconds = std::stoll(digits + std::string(9 - digits.size(), '0'));
    return *whole + std::chrono::duration_cast<PreferenceDate::duration>(std::chrono::nanoseconds(nanoseconds));
}

json encodeString(const std::string &text)
{
    if (isValidUtf8(text)) {
        return text;
    }
    return json{{"$bytes", base64(text)}};
}

std::optional<std::string> decodeString(const json &value)
{
    if (value.is_string()) {
        return value.get<std::string>();
    }
    if (value.is_object() && value.size() == 1 && value.contains("$bytes") && value["$bytes"].is_string()) {
        return fromBase64(value["$bytes"].get<std::string>());
    }
    return std::nullopt;
}

struct Encode {
    json operator()(bool value) const { return value; }
    json operator()(int64_t value) const { return value; }
    json operator()(double value) const { return std::isfinite(value) ? json(value) : json(0.0); }
    json operator()(const std::string &value) const { return encodeString(value); }
    json operator()(const std::vector<std::string> &values) const
    {
        json array = json::array();
        for (const auto &value : values) {
            array.push_back(encodeString(value));
        }
        return array;
    }
    json operator()(const PreferenceDate &date) const { return json{{"$date", formatPreciseDate(date)}}; }
    json operator()(const PreferenceData &data) const { return json{{"$data", base64(data.bytes)}}; }
};

std::optional<PreferenceValue> decodeValue(const json &value)
{
    if (value.is_boolean()) {
        return value.get<bool>();
    }
    if (value.is_number_integer()) {
        if (value.is_number_unsigned() && value.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX)) {
            return static_cast<double>(value.get<uint64_t>());
        }
        return value.get<int64_t>();
    }
    if (value.is_number_float()) {
        return value.get<double>();
    }
    if (value.is_array()) {
        std::vector<std::string> strings;
        for (const auto &item : value) {
            auto text = decodeString(item);
            if (!text) {
                return std::nullopt;
            }
            strings.push_back(std::move(*text));
        }
        return strings;
    }
    if (auto text = decodeString(value)) {
        return *text;
    }
    if (value.is_object() && value.size() == 1) {
        if (value.contains("$date") && value["$date"].is_string()) {
            if (auto date = parsePreciseDate(value["$date"].get<std::string>())) {
                return *date;
            }
            return std::nullopt;
        }
        if (value.contains("$data") && value["$data"].is_string()) {
            if (auto bytes = fromBase64(value["$data"].get<std::string>())) {
                return PreferenceData{std::move(*bytes)};
            }
        }
    }
    return std::nullopt;
}

bool readWholeFile(const std::string &path, std::string &contents, int &error)
{
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.valid()) {
        error = errno;
        return false;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        error = EINVAL;
        return false;
    }
    if (!readAll(fd.get(), contents)) {
        error = errno;
        return false;
    }
    return true;
}

}  // namespace

std::string encodePreferences(const PreferenceMap &values)
{
    json object = json::object();
    for (const auto &[key, value] : values) {
        object[key] = std::visit(Encode{}, value);
    }
    return object.dump(2) + "\n";
}

std::optional<PreferenceMap> decodePreferences(std::string_view text)
{
    const json document = json::parse(text.begin(), text.end(), nullptr, false);
    if (document.is_discarded() || !document.is_object()) {
        return std::nullopt;
    }
    PreferenceMap values;
    for (const auto &[key, value] : document.items()) {
        if (auto decoded = decodeValue(value)) {
            values.emplace(key, std::move(*decoded));
        }
    }
    return values;
}

JsonFilePreferencesStore::JsonFilePreferencesStore(std::string filePath) : m_filePath(normalizedPath(filePath))
{
    load();
}

std::string JsonFilePreferencesStore::defaultFilePath()
{
    return joinPath(joinPath(configHomeFolder(), "Tarnwick"), "preferences.json");
}

void JsonFilePreferencesStore::load()
{
    std::string contents;
    int error = 0;
    if (readWholeFile(m_filePath, contents, error)) {
        if (auto values = decodePreferences(contents)) {
            m_values = std::move(*values);
            return;
        }
    } else if (error == ENOENT) {
        return;
    }
    // Something is there that we cannot use: keep it for the user before anything replaces it.
    for (int attempt = 1; attempt < 1000; ++attempt) {
        std::string aside = m_filePath + ".corrupt";
        if (attempt > 1) {
            aside += "." + std::to_string(attempt);
        }
        struct stat status {};
        if (::lstat(aside.c_str(), &status) == 0) {
            continue;
        }
        if (::rename(m_filePath.c_str(), aside.c_str()) == 0) {
            m_keptAsidePath = aside;
            qCWarning(lcPrefs).noquote() << QStringLiteral("Could not read the preferences in %1; kept the file as %2 "
                                                           "and started from the defaults")
                                                .arg(QString::fromStdString(m_filePath), QString::fromStdString(aside));
            return;
        }
        break;
    }
    m_writable = false;  // never write over a file we could neither read nor keep
    qCWarning(lcPrefs).noquote()
        << QStringLiteral("Could neither read nor set aside the preferences in %1; changes will not be saved")
               .arg(QString::fromStdString(m_filePath));
}

std::optional<PreferenceValue> JsonFilePreferencesStore::object(const std::string &key) const
{
    const auto it = m_values.find(key);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}

void JsonFilePreferencesStore::set(const std::string &key, PreferenceValue value)
{
    m_values[key] = std::move(value);
    changed();
}

void JsonFilePreferencesStore::remove(const std::string &key)
{
    if (m_values.erase(key) > 0) {
        changed();
    }
}

void JsonFilePreferencesStore::beginBatch()
{
    ++m_batchDepth;
}

void JsonFilePreferencesStore::endBatch()
{
    if (m_batchDepth > 0 && --m_batchDepth == 0 && m_dirty) {
        write();
    }
}

void JsonFilePreferencesStore::changed()
{
    m_dirty = true;
    if (m_batchDepth == 0) {
        write();
    }
}

bool JsonFilePreferencesStore::write()
{
    const bool hadSucceeded = m_lastWriteSucceeded;
    const int error = writeFile();
    m_lastWriteSucceeded = error == 0;
    if (m_lastWriteSucceeded) {
        m_dirty = false;
    } else if (hadSucceeded) {
        // Once per run of failures: every change tries again, and would say the same.
        const QString reason = error > 0 ? QString::fromLocal8Bit(std::strerror(error))
                                         : QStringLiteral("an unreadable file there is left alone");
        qCWarning(lcPrefs).noquote() << QStringLiteral("Could not save the preferences to %1: %2")
                                            .arg(QString::fromStdString(m_filePath), reason);
    }
    return m_lastWriteSucceeded;
}

int JsonFilePreferencesStore::writeFile()
{
    if (!m_writable) {
        return -1;
    }
    const std::string folder(parentPath(m_filePath));
    if (const int error = makeFolderPath(folder); error != 0) {
        return error;
    }
    std::string temporary = m_filePath + ".XXXXXX";
    const FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.valid()) {
        return errno;
    }
    const std::string text = encodePreferences(m_values);
    bool ok = ::fchmod(fd.get(), 0600) == 0 && writeAll(fd.get(), text);
    ok = ok && ::fsync(fd.get()) == 0 && ::rename(temporary.c_str(), m_filePath.c_str()) == 0;
    if (!ok) {
        const int error = errno != 0 ? errno : EIO;
        ::unlink(temporary.c_str());
        return error;
    }
    // Make the rename itself durable.
    const FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.valid()) {
        ::fsync(directory.get());
    }
    return 0;
}

}  // namespace tarnwick
