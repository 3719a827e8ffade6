#pragma once

#include "ui/settings/formats/icon_label.h"

namespace orvalin::ui {

// The orange "Déjà utilisé" mark shown beside a trigger or combination another format uses.
class ConflictMark : public IconLabel {
    Q_OBJECT
public:
    explicit ConflictMark(const QString& help, QWidget* parent = nullptr);
};

}  // namespace orvalin::ui
