#pragma once

#include <optional>
#include <string>

#include <QByteArray>

namespace qm {

class IPTCPanel;

// What the metadata panel shows, as one line of JSON: whether it is visible, its title, the current
// image's path, the chosen encoding (number and name), each dataset row (code, label, value),
// the selected rows' indices, the byline and caption texts, and the alert that is up (or null). A later start asks for it (`quillmark --shown`).
QByteArray panelReport(IPTCPanel& panel, const std::optional<std::string>& currentImagePath);

} // namespace qm
