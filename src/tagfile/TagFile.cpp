#include "tagfile/TagFile.h"

#include <memory>

#include "foundation/CFile.h"
#include "foundation/LauncherException.h"
#include "foundation/Log.h"
#include "text/NumberText.h"
#include "text/TextScanning.h"

namespace nv {

namespace {

using size_type = LauncherString::size_type;

bool atEnd(std::FILE* file) {
    const int c = std::getc(file);
    if (c == EOF) return true;
    std::ungetc(c, file);
    return false;
}

// A value that would not survive the plain form: empty, blank at either end,
// or holding a quote.
bool needsQuotes(const LauncherString& value) {
    return value.empty() || isBlank(value[0]) || isBlank(value[value.length() - 1]) ||
           value.find('"') != LauncherString::npos;
}

void writeValue(std::FILE* file, const LauncherString& value) {
    LauncherString text;
    if (needsQuotes(value)) {
        text = "  \"";
        for (size_type i = 0; i < value.length(); ++i) {
            if (value[i] == '"') text.append('"');
            text.append(value[i]);
        }
        text.append('"');
    } else {
        text = "  ";
        text.append(value);
    }
    text.append('\n');
    // Whole bytes, so a value with a zero byte is not cut short.
    std::fwrite(text.c_str(), 1, text.length(), file);
}

}  // namespace

LauncherString TagFile::value(const char* name, std::int32_t index) const { return value(LauncherString(name), index); }

std::int32_t TagFile::valueCount(const char* name) const { return valueCount(LauncherString(name)); }

bool TagFile::boolValue(const char* name, bool defaultValue) const {
    return boolValue(LauncherString(name), defaultValue);
}

void TagFile::load(const LauncherString& path) {
    CFile file = openFile(path.c_str(), "r");
    if (!file.get()) throwLauncherException("Unable to load input file: " + path);
    readFrom(file.get(), path);
}

void TagFile::readFrom(std::FILE* file, const LauncherString& sourceName, std::int32_t offset, std::int32_t length) {
    sourceName_ = sourceName;
    lineCount_ = 0;
    if (offset < 0 || std::fseek(file, offset, SEEK_SET) != 0) throwLauncherException("Unable to read tag file.");
    const bool bounded = length >= 0;
    const std::int64_t end = static_cast<std::int64_t>(offset) + (bounded ? length : 0);

    while (!atEnd(file) && (!bounded || static_cast<std::int64_t>(std::ftell(file)) < end)) {
        const LauncherString line = readLine(file);
        ++lineCount_;
        if (line.empty()) continue;

        const size_type colon = line.find(':');
        if (colon == LauncherString::npos) syntaxError(lineCount_, "Missing colon at the end of the tag name.");
        LauncherString name = line.substr(0, colon);
        trimBlanks(name);
        removeTag(name);

        if (colon + 1 == line.length()) {
            const std::int32_t blockLine = lineCount_;
            for (;;) {
                if (atEnd(file)) syntaxError(blockLine, "Missing /: tag completer.");
                LauncherString value = readLine(file);
                ++lineCount_;
                if (value[0] == '"') {
                    size_type pos = 1;
                    value = readArgument(value, pos, true);
                }
                if (value.empty()) continue;
                if (value == "/:") break;
                addValue(name, value);
            }
            continue;
        }

        size_type pos = line.findFirstNotOf(blankSet, colon + 1);
        if (pos == LauncherString::npos) syntaxError(lineCount_, "Invalid tag format.");
        if (line[pos] == '"') {
            ++pos;
            setValue(name, readArgument(line, pos, true));
        } else {
            setValue(name, line.substr(pos));
        }
    }
}

LauncherString TagFile::value(const LauncherString& name, std::int32_t index) const {
    const Tag* tag = find(name);
    return tag ? tag->values.get(index) : LauncherString::emptyString();
}

std::int32_t TagFile::valueCount(const LauncherString& name) const {
    const Tag* tag = find(name);
    return tag ? tag->values.count() : 0;
}

void TagFile::setValue(const LauncherString& name, const LauncherString& value) {
    Tag* tag = find(name);
    if (!tag) {
        tag = tags_.append(std::make_unique<Tag>());
        tag->name = name;
    }
    tag->values.clear();
    tag->values.append(value);
}

void TagFile::addValue(const LauncherString& name, const LauncherString& value) {
    Tag* tag = find(name);
    if (!tag) {
        setValue(name, value);
        return;
    }
    tag->values.append(value);
}

void TagFile::removeTag(const LauncherString& name) {
    for (std::int32_t i = 0; i < tags_.count(); ++i) {
        if (tags_.get(i)->name == name) {
            tags_.removeAt(i);
            return;
        }
    }
}

bool TagFile::boolValue(const LauncherString& name, bool defaultValue) const {
    const LauncherString text = value(name);
    std::int16_t number = 0;
    if (text.empty() || !readShort(text, number)) return defaultValue;
    return number != 0;
}

void TagFile::setBoolValue(const LauncherString& name, bool flag) { setValue(name, flag ? "1" : "0"); }

void TagFile::setJvmInfo(const LauncherString& javaHome, const LauncherString& jvmFilePath, bool temporary) {
    setValue("JVM_HOME", javaHome);
    setValue("JVM_FILE", jvmFilePath);
    setBoolValue("JVM_TEMP", temporary);
}

void TagFile::write(const LauncherString& path) const {
    CFile file = openFile(path.c_str(), "w");
    if (!file.get()) return;
    for (std::int32_t i = 0; i < tags_.count(); ++i) {
        const Tag& tag = *tags_.get(i);
        const std::int32_t count = tag.values.count();
        if (count == 0) continue;
        std::fwrite(tag.name.c_str(), 1, tag.name.length(), file.get());
        std::fputc(':', file.get());
        if (count > 1) std::fputc('\n', file.get());
        for (std::int32_t v = 0; v < count; ++v) writeValue(file.get(), tag.values.get(v));
        if (count > 1) std::fputs("/:\n", file.get());
    }
}

std::int32_t TagFile::tagCount() const { return tags_.count(); }

LauncherString TagFile::tagName(std::int32_t index) const {
    const Tag* tag = tags_.get(index);
    return tag ? tag->name : LauncherString::emptyString();
}

TagFile::Tag* TagFile::find(const LauncherString& name) const {
    for (std::int32_t i = 0; i < tags_.count(); ++i) {
        Tag* tag = tags_.get(i);
        if (tag->name == name) return tag;
    }
    return nullptr;
}

void TagFile::syntaxError(std::int32_t line, const char* text) const {
    const LauncherString message =
        joinText({"Syntax error in ", sourceName_, " at line ", formatLong(line), " ==> ", text});
    logEntry(message, LogKind::error);
    throwLauncherException(message);
}

}  // namespace nv
