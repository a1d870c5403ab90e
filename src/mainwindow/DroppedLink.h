#pragma once

#include <QString>

#include <optional>

class QMimeData;

namespace lynkora {

// A link dragged in from another program.
struct DroppedLink {
    QString url;
    QString title; // empty when the drag carried none
};

// The link a drag carries, from the richest format present: text/x-moz-url (UTF-16, URL and
// title on two lines), _NETSCAPE_URL (the same in UTF-8), text/uri-list (the first URL), or plain
// text that is one absolute URL. Anything else, or a URL without a scheme, gives nothing.
std::optional<DroppedLink> LinkFromDrop(const QMimeData& data);

} // namespace lynkora
