#include "testing/shop/line_breaker.h"

namespace glyphoria::testing::shop {

namespace {

std::vector<std::string> SplitParagraphs(const std::string& text) {
    std::vector<std::string> paragraphs(1);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            paragraphs.emplace_back();
        } else if (text.compare(i, 3, "\xE2\x80\xA8") == 0 ||
                   text.compare(i, 3, "\xE2\x80\xA9") == 0) {
            i += 2;
            paragraphs.emplace_back();
        } else {
            paragraphs.back().push_back(c);
        }
    }
    return paragraphs;
}

size_t CharLength(const std::string& text, size_t i) {
    size_t length = 1;
    while (i + length < text.size() &&
           (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

// Cuts an over-wide word between characters; the last piece stays open in
// *line so the next word can join it.
void CutWord(const std::string& word, double max_width, const TextMeasure& measure,
             std::vector<std::string>* lines, std::string* line) {
    for (size_t i = 0; i < word.size();) {
        size_t length = CharLength(word, i);
        std::string candidate = *line + word.substr(i, length);
        if (!line->empty() && measure(candidate) > max_width) {
            while (!line->empty() && line->back() == ' ')
                line->pop_back();
            lines->push_back(*line);
            line->clear();
            continue;
        }
        *line = candidate;
        i += length;
    }
}

void BreakParagraph(const std::string& paragraph, double max_width, const TextMeasure& measure,
                    std::vector<std::string>* lines) {
    std::string line;
    size_t start = 0;
    while (start <= paragraph.size()) {
        size_t end = paragraph.find(' ', start);
        if (end == std::string::npos) end = paragraph.size();
        std::string word = paragraph.substr(start, end - start);
        start = end + 1;
        std::string joined = line.empty() ? word : line + " " + word;
        if (measure(joined) <= max_width) {
            line = joined;
        } else if (!line.empty() && measure(word) <= max_width) {
            lines->push_back(line);
            line = word;
        } else {
            // Too wide for any line: it starts a line of its own and is cut.
            if (!line.empty()) lines->push_back(line);
            line.clear();
            CutWord(word, max_width, measure, lines, &line);
        }
    }
    lines->push_back(line);
}

}  // namespace

std::vector<std::string> BreakLines(const std::string& text, double max_width,
                                    const TextMeasure& measure) {
    std::vector<std::string> lines;
    for (const std::string& paragraph : SplitParagraphs(text))
        BreakParagraph(paragraph, max_width, measure, &lines);
    return lines;
}

}  // namespace glyphoria::testing::shop
