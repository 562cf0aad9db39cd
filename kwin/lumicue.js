// Lumicue's helper inside KWin: it tells Lumicue where the pointer is and
// when Lumicue's hotkey is pressed. Lumicue loads it at start and unloads it
// at exit; it does nothing else.
var service = "example.lumicue.Lumicue";
var path = "/KWin";
var iface = "example.lumicue.KWin";

function reportPointer() {
    var p = workspace.cursorPos;
    callDBus(service, path, iface, "PointerMoved", p.x, p.y);
}

workspace.cursorPosChanged.connect(reportPointer);
reportPointer();

// Lumicue answers with its hotkey in the toolkit's text form ("Ctrl+Alt+F8"),
// or with an empty text when it has none.
callDBus(service, path, iface, "HotKeyWanted", function (keys) {
    if (keys) {
        registerShortcut("lumicue-toggle", "Lumicue: switch the pointer on or off", keys, function () {
            callDBus(service, path, iface, "HotKeyPressed");
        });
    }
    callDBus(service, path, iface, "HotKeyRegistered", keys);
});
