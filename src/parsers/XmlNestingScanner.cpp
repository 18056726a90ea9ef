#include "parsers/XmlNestingScanner.h"

#include <algorithm>

namespace qm {

namespace {

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// TinyXML takes every byte from 127 up as a letter.
bool isNameStart(char c)
{
    return static_cast<unsigned char>(c) >= 127 || isAsciiLetter(c) || c == '_';
}

bool isNameCharacter(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}

bool isPlainValueCharacter(char c)
{
    return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
}

char toLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

class Cursor {
public:
    explicit Cursor(std::string_view text) : mText(text) {}

    std::size_t position() const { return mAt; }
    bool atEnd() const { return mAt >= mText.size(); }
    char peek(std::size_t offset = 0) const { return mAt + offset < mText.size() ? mText[mAt + offset] : '\0'; }
    void advance(std::size_t count = 1) { mAt = std::min(mText.size(), mAt + count); }
    bool startsWith(std::string_view prefix) const { return mText.substr(mAt).starts_with(prefix); }

    bool startsWithIgnoringCase(std::string_view prefix) const
    {
        const std::string_view rest = mText.substr(mAt, prefix.size());
        return rest.size() == prefix.size() &&
               std::equal(rest.begin(), rest.end(), prefix.begin(),
                          [](char a, char b) { return toLower(a) == toLower(b); });
    }

    bool skipTo(char c)
    {
        mAt = std::min(mText.size(), mText.find(c, mAt));
        return !atEnd();
    }

    void skipPast(std::string_view terminator)
    {
        const std::size_t found = mText.find(terminator, mAt);
        mAt = found == std::string_view::npos ? mText.size() : found + terminator.size();
    }

    // As TinyXML skips white space: blanks, and the UTF-8 forms of U+FEFF, U+FFFE and U+FFFF.
    void skipWhiteSpace()
    {
        while (!atEnd()) {
            if (startsWith("\xEF\xBB\xBF") || startsWith("\xEF\xBF\xBE") || startsWith("\xEF\xBF\xBF"))
                advance(3);
            else if (isWhiteSpace(peek()))
                advance();
            else
                break;
        }
    }

    void skipPlainWhiteSpace()
    {
        while (isWhiteSpace(peek()))
            advance();
    }

    void skipName()
    {
        while (isNameCharacter(peek()))
            advance();
    }

    std::size_t elementStartsFrom(std::size_t start) const
    {
        std::size_t count = 0;
        for (std::size_t i = start; i + 1 < mText.size(); ++i)
            count += mText[i] == '<' && isNameStart(mText[i + 1]);
        return count;
    }

private:
    std::string_view mText;
    std::size_t mAt = 0;
};

class Scan {
public:
    explicit Scan(std::string_view text) : mCursor(text) {}

    std::size_t run()
    {
        while (mCursor.skipTo('<')) {
            const std::size_t start = mCursor.position();
            if (!readMarkup())
                return std::max(mDeepest, mDepth + mCursor.elementStartsFrom(start));
        }
        return mDeepest;
    }

private:
    // Reads the markup at a '<' the way TinyXML does; false where the reading is not certain.
    bool readMarkup()
    {
        if (mCursor.startsWithIgnoringCase("<?xml"))
            return readDeclaration();
        if (mCursor.startsWith("<!--"))
            return skip(4, "-->");
        if (mCursor.startsWith("<![CDATA["))
            return skip(9, "]]>");
        if (mCursor.startsWith("</") && mDepth > 0) {
            --mDepth;
            return skip(2, ">");
        }
        if (isNameStart(mCursor.peek(1)))
            return readStartTag();
        return skip(1, ">"); // any other markup is read up to the first '>'
    }

    bool skip(std::size_t opening, std::string_view terminator)
    {
        mCursor.advance(opening);
        mCursor.skipPast(terminator);
        return true;
    }

    bool skip(std::size_t count)
    {
        mCursor.advance(count);
        return true;
    }

    bool readStartTag()
    {
        mCursor.advance();
        mCursor.skipWhiteSpace();
        if (!isNameStart(mCursor.peek()))
            return false;
        mCursor.skipName();
        for (;;) {
            mCursor.skipWhiteSpace();
            if (mCursor.atEnd())
                return false;
            if (mCursor.peek() == '/')
                return mCursor.peek(1) == '>' && skip(2);
            if (mCursor.peek() == '>') {
                mCursor.advance();
                mDeepest = std::max(mDeepest, ++mDepth);
                return true;
            }
            if (!readAttribute())
                return false;
        }
    }

    bool readAttribute()
    {
        if (!isNameStart(mCursor.peek()))
            return false;
        mCursor.skipName();
        mCursor.skipWhiteSpace();
        if (mCursor.peek() != '=')
            return false;
        mCursor.advance();
        mCursor.skipWhiteSpace();
        const char quote = mCursor.peek();
        if (quote == '"' || quote == '\'')
            return skip(1, std::string_view(&quote, 1));
        for (char c = mCursor.peek(); !mCursor.atEnd() && !isWhiteSpace(c) && c != '/' && c != '>';
             c = mCursor.peek()) {
            if (c == '"' || c == '\'')
                return false;
            mCursor.advance();
        }
        return true;
    }

    // Only the plain form <?xml name="value" ...?> is certain: TinyXML reads quotes in a
    // declaration differently depending on the attribute's name.
    bool readDeclaration()
    {
        mCursor.advance(5);
        for (;;) {
            const std::size_t before = mCursor.position();
            mCursor.skipPlainWhiteSpace();
            if (mCursor.startsWith("?>"))
                return skip(2);
            if (mCursor.position() == before || !isAsciiLetter(mCursor.peek()))
                return false;
            while (isAsciiLetter(mCursor.peek()))
                mCursor.advance();
            const char quote = mCursor.peek(1);
            if (mCursor.peek() != '=' || (quote != '"' && quote != '\''))
                return false;
            mCursor.advance(2);
            while (isPlainValueCharacter(mCursor.peek()))
                mCursor.advance();
            if (mCursor.peek() != quote)
                return false;
            mCursor.advance();
        }
    }

    Cursor mCursor;
    std::size_t mDepth = 0;
    std::size_t mDeepest = 0;
};

} // namespace

std::size_t XmlNestingScanner::depthBound(std::string_view text)
{
    return Scan(text).run();
}

} // namespace qm
