#include "queries/CsvReader.h"

namespace lms::Csv {

namespace {

constexpr QChar kQuote = QLatin1Char('"');
constexpr QChar kComma = QLatin1Char(',');
constexpr QChar kCR = QLatin1Char('\r');
constexpr QChar kLF = QLatin1Char('\n');

bool endsField(QChar c) {
    return c == kComma || c == kCR || c == kLF;
}

class Reader {
public:
    explicit Reader(QStringView text) : text_(text) {}

    Reading run() {
        while (i_ < text_.size()) {
            record_ << (text_[i_] == kQuote ? quotedField() : plainField());
            if (i_ >= text_.size())
                break;
            const QChar end = text_[i_++];
            if (end == kComma) {
                // A comma at the very end still opens one more (empty) field.
                if (i_ == text_.size())
                    record_ << QString();
                continue;
            }
            if (end == kCR && i_ < text_.size() && text_[i_] == kLF)
                ++i_;
            else
                out_.bareLineEnds = true;
            endRecord();
        }
        if (!record_.isEmpty()) {
            out_.lastUnended = true;
            endRecord();
        }
        return std::move(out_);
    }

private:
    // Up to the next comma or line end, taken as it stands.
    QString plainField() {
        const qsizetype start = i_;
        while (i_ < text_.size() && !endsField(text_[i_])) {
            if (text_[i_] == kQuote)
                out_.strayQuotes = true;
            ++i_;
        }
        return text_.sliced(start, i_ - start).toString();
    }

    // From the opening quote to its closing one, doubled quotes read as one; text between the
    // closing quote and the next comma or line end is kept after it.
    QString quotedField() {
        QString field;
        ++i_;
        for (;;) {
            const qsizetype next = text_.indexOf(kQuote, i_);
            if (next < 0) {
                field += text_.sliced(i_);
                i_ = text_.size();
                out_.unclosedQuoteRecord = static_cast<int>(out_.records.size()) + 1;
                return field;
            }
            field += text_.sliced(i_, next - i_);
            i_ = next + 1;
            if (i_ < text_.size() && text_[i_] == kQuote) {
                field += kQuote;
                ++i_;
                continue;
            }
            break;
        }
        if (i_ < text_.size() && !endsField(text_[i_])) {
            out_.strayQuotes = true;
            field += plainField();
        }
        return field;
    }

    void endRecord() {
        out_.records << record_;
        record_.clear();
    }

    QStringView text_;
    qsizetype i_ = 0;
    QStringList record_;
    Reading out_;
};

} // namespace

Reading read(QStringView text) {
    return Reader(text).run();
}

} // namespace lms::Csv
