#pragma once

class QWidget;

namespace quorvel {

// The child dialogs of the profiles center, made from their templates: the profile path (135) or the note that
// a program needs none (138); the clean options of Internet Explorer (137), Firefox (139), Netscape (187), or
// the note that there are none (141). Each widget is the root of a dialog of its own, named by its template;
// its controls are named by their ids and carry no text yet.
QWidget* MakeProfilePathChild(int templateId, QWidget* parent);
QWidget* MakeCleanChild(int templateId, QWidget* parent);

} // namespace quorvel
