#pragma once

#include <QString>
#include <random>

namespace lms::datagen {

// Plausible Chinese person names, book titles and authors drawn from small syllable lists.
class ChineseNames {
public:
    explicit ChineseNames(std::mt19937_64& random) : random_(random) {}
    QString personName();
    QString bookTitle();
    QString phone();
    QString idCardNumber(int birthYear);

private:
    int pick(int count);
    std::mt19937_64& random_;
};

} // namespace lms::datagen
