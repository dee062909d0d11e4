#pragma once

#include "core/form/FormModel.h"

namespace lms {

// The about box: the product's name and version.
class Tfrm_about : public FormModel {
    Q_OBJECT
public:
    explicit Tfrm_about(QObject* parent = nullptr);
};

} // namespace lms
