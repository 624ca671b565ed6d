#pragma once
// A parsed tag file: uniquely named tags, each with one or more text values,
// in the order of their (last) definition. Every configuration file of the
// launcher is one.

#include <cstdint>
#include <cstdio>

#include "foundation/LauncherString.h"
#include "foundation/ObjectList.h"
#include "foundation/StringList.h"

namespace nv {

class TagFile {
public:
    TagFile() = default;
    TagFile(TagFile&&) noexcept = default;
    TagFile& operator=(TagFile&&) noexcept = default;
    TagFile(const TagFile&) = delete;
    TagFile& operator=(const TagFile&) = delete;
    ~TagFile() = default;

    // The length for readFrom that reads to the end of the file.
    static constexpr std::int32_t toEndOfFile = -1;

    // Reads the named file whole into this object (readFrom from its start to
    // its end); the path becomes the source name. Throws LauncherException
    // "Unable to load input file: " + path when it cannot be opened, and the
    // errors of readFrom.
    void load(const LauncherString& path);

    // Parses tags from `file` starting at byte `offset`; a negative `length`
    // (toEndOfFile) reads to the end of the file, otherwise no tag line is begun at or past
    // offset + length (blocks run to their completer). Tags already present
    // are kept; a tag defined again is replaced and moves to the end.
    // Throws LauncherException "Unable to read tag file." when the file cannot
    // be positioned; syntax errors ("Syntax error in <source> at line <n> ==>
    // <text>") are written to the run log as errors and then thrown; a quoted
    // value without its closing quote throws the argument reader's error.
    // Tags read before an error stay. `file` stays open and owned by the caller.
    void readFrom(std::FILE* file, const LauncherString& sourceName, std::int32_t offset = 0,
                  std::int32_t length = toEndOfFile);

    // A copy of the tag's value at `index`; empty when the tag or index is absent.
    LauncherString value(const LauncherString& name, std::int32_t index = 0) const;
    // The same for a tag name written as text: callers pass literals, and the
    // conversion to a string is made here once instead of at every call.
    LauncherString value(const char* name, std::int32_t index = 0) const;

    // The number of values of the tag; 0 when it does not exist.
    std::int32_t valueCount(const LauncherString& name) const;
    std::int32_t valueCount(const char* name) const;

    // Makes `value` the tag's only value; a new tag goes to the end, an
    // existing one keeps its position.
    void setValue(const LauncherString& name, const LauncherString& value);

    // Appends `value` to the tag's values; creates the tag like setValue.
    void addValue(const LauncherString& name, const LauncherString& value);

    // Removes the tag and its values; nothing when it does not exist.
    void removeTag(const LauncherString& name);

    // The first value read as a 16-bit number ("%hd" rules): true when not
    // zero. `defaultValue` when the value is empty, absent or not a number.
    bool boolValue(const LauncherString& name, bool defaultValue) const;
    bool boolValue(const char* name, bool defaultValue) const;

    // setValue with "1" or "0".
    void setBoolValue(const LauncherString& name, bool flag);

    // Sets JVM_HOME, JVM_FILE and JVM_TEMP, in this order, for a JVM file
    // written out for the Java program.
    void setJvmInfo(const LauncherString& javaHome, const LauncherString& jvmFilePath, bool temporary);

    // Writes all tags with values, in order, to the named file (created or
    // truncated, text mode). A file that cannot be created is silently skipped.
    void write(const LauncherString& path) const;

    // The number of tags, and the name of the tag at `index` (empty outside
    // 0..tagCount()-1), for callers that walk all tags in order.
    std::int32_t tagCount() const;
    LauncherString tagName(std::int32_t index) const;

    // The name given to the last read, used in its error messages.
    const LauncherString& sourceName() const { return sourceName_; }

    // Lines consumed by the last read, counted from its offset.
    std::int32_t lineCount() const { return lineCount_; }

private:
    struct Tag {
        LauncherString name;
        StringList values;
    };

    Tag* find(const LauncherString& name) const;
    [[noreturn]] void syntaxError(std::int32_t line, const char* text) const;

    ObjectList<Tag> tags_;
    LauncherString sourceName_;
    std::int32_t lineCount_ = 0;
};

}  // namespace nv
