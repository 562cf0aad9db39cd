// Lumicue's helper inside KWin: it registers Lumicue's hotkey and tells
// Lumicue when it is pressed. Lumicue loads it at start and unloads it at
// exit; positions come from lumicue-follow.js, loaded only while the picture
// is shown.
var service = "example.lumicue.Lumicue";
var path = "/KWin";
var iface = "example.lumicue.KWin";

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
