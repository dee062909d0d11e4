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

// Reads the records, or with `Build` false only counts them (the fields it would make are then
// left empty).
template <bool Build> class Reader {
public:
    explicit Reader(QStringView text) : text_(text) {}

    Reading run() {
        while (i_ < text_.size()) {
            add(text_[i_] == kQuote ? quotedField() : plainField());
            if (i_ >= text_.size())
                break;
            const QChar end = text_[i_++];
            if (end == kComma) {
                // A comma at the very end still opens one more (empty) field.
                if (i_ == text_.size())
                    add(QString());
                continue;
            }
            if (end == kCR && i_ < text_.size() && text_[i_] == kLF)
                ++i_;
            else
                out_.bareLineEnds = true;
            endRecord();
        }
        if (fieldsInRecord_ > 0) {
            out_.lastUnended = true;
            endRecord();
        }
        return std::move(out_);
    }

    const Shape& shape() const { return shape_; }

private:
    // Up to the next comma or line end, taken as it stands.
    QString plainField() {
        const qsizetype start = i_;
        while (i_ < text_.size() && !endsField(text_[i_])) {
            if (text_[i_] == kQuote)
                out_.strayQuotes = true;
            ++i_;
        }
        if constexpr (Build)
            return text_.sliced(start, i_ - start).toString();
        return {};
    }

    // From the opening quote to its closing one, doubled quotes read as one; text between the
    // closing quote and the next comma or line end is kept after it.
    QString quotedField() {
        QString field;
        ++i_;
        for (;;) {
            const qsizetype next = text_.indexOf(kQuote, i_);
            if (next < 0) {
                if constexpr (Build)
                    field += text_.sliced(i_);
                i_ = text_.size();
                out_.unclosedQuoteRecord = static_cast<int>(shape_.records) + 1;
                return field;
            }
            if constexpr (Build)
                field += text_.sliced(i_, next - i_);
            i_ = next + 1;
            if (i_ < text_.size() && text_[i_] == kQuote) {
                if constexpr (Build)
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

    void add(QString field) {
        if constexpr (Build)
            record_ << std::move(field);
        ++fieldsInRecord_;
    }

    void endRecord() {
        if constexpr (Build) {
            out_.records << record_;
            record_.clear();
        }
        ++shape_.records;
        shape_.fields += fieldsInRecord_;
        fieldsInRecord_ = 0;
    }

    QStringView text_;
    qsizetype i_ = 0;
    QStringList record_;
    qint64 fieldsInRecord_ = 0;
    Shape shape_;
    Reading out_;
};

} // namespace

Shape measure(QStringView text) {
    Reader<false> counting(text);
    counting.run();
    return counting.shape();
}

Reading read(QStringView text) {
    return Reader<true>(text).run();
}

} // namespace lms::Csv
