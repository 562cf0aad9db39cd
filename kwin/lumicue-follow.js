// Lumicue's follower inside KWin: it tells Lumicue where the pointer is,
// from the moment it is loaded (when the picture is shown) until it is
// unloaded (when the picture is hidden), so a hidden picture costs nothing.
var service = "example.lumicue.Lumicue.Pointer";
var path = "/KWin";
var iface = "example.lumicue.KWin";

function reportPointer() {
    var p = workspace.cursorPos;
    callDBus(service, path, iface, "PointerMoved", p.x, p.y);
}

workspace.cursorPosChanged.connect(reportPointer);
reportPointer();
