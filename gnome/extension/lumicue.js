// The body of the extension, shared by both entry points: it receives the
// shell's libraries from its entry point and imports nothing itself, so the
// same file serves the module loader (GNOME 45 and later) and the older
// one (43 and 44).
//
// It draws the program's picture as one actor on top of the stage, moves it
// with the pointer while shown, and offers the program a small D-Bus
// interface. While the picture is hidden no signal of the shell is connected.

export const BUS_NAME = 'example.lumicue.Shell';
export const OBJECT_PATH = '/example/lumicue/Shell';
export const API_VERSION = 1;
const MAX_SIDE = 16384;

const INTERFACE = `<node>
  <interface name="example.lumicue.Shell">
    <method name="Version">
      <arg type="s" name="version" direction="out"/>
      <arg type="u" name="api" direction="out"/>
    </method>
    <method name="Show">
      <arg type="s" name="picture" direction="in"/>
      <arg type="i" name="width" direction="in"/>
      <arg type="i" name="height" direction="in"/>
      <arg type="i" name="stride" direction="in"/>
      <arg type="i" name="hot_x" direction="in"/>
      <arg type="i" name="hot_y" direction="in"/>
      <arg type="y" name="opacity" direction="in"/>
      <arg type="b" name="ok" direction="out"/>
    </method>
    <method name="Hide"/>
    <method name="State">
      <arg type="b" name="shown" direction="out"/>
      <arg type="i" name="x" direction="out"/>
      <arg type="i" name="y" direction="out"/>
      <arg type="i" name="width" direction="out"/>
      <arg type="i" name="height" direction="out"/>
      <arg type="u" name="moves" direction="out"/>
    </method>
    <method name="Pointer">
      <arg type="i" name="x" direction="out"/>
      <arg type="i" name="y" direction="out"/>
    </method>
    <method name="SetHotKey">
      <arg type="s" name="accelerator" direction="in"/>
      <arg type="b" name="ok" direction="out"/>
    </method>
    <method name="SetIndicator">
      <arg type="b" name="shown" direction="in"/>
      <arg type="s" name="tip" direction="in"/>
    </method>
    <method name="ShowMenu">
      <arg type="a(usb)" name="items" direction="in"/>
    </method>
    <method name="Notify">
      <arg type="s" name="title" direction="in"/>
      <arg type="s" name="text" direction="in"/>
    </method>
    <method name="Session">
      <arg type="s" name="accelerator" direction="out"/>
      <arg type="b" name="indicator" direction="out"/>
      <arg type="i" name="indicator_x" direction="out"/>
      <arg type="i" name="indicator_y" direction="out"/>
      <arg type="b" name="menu_open" direction="out"/>
    </method>
    <signal name="StateChanged"/>
    <signal name="HotKeyPressed"/>
    <signal name="IndicatorActivated"/>
    <signal name="MenuCommand">
      <arg type="u" name="id"/>
    </signal>
  </interface>
</node>`;

// Menu texts carry '&' before their access key; "&&" is a literal '&'.
function plainText(text) {
    return text.replace(/&(&?)/g, '$1');
}

export class LumicueShell {
    // lib: GLib, Gio, Clutter, Cogl, St, Meta, Shell, Main, PanelMenu,
    // PopupMenu, global; dir: its folder (Gio.File); version: its version text.
    constructor(lib, dir, version) {
        this._lib = lib;
        this._dir = dir;
        this._version = version;
        this._actor = null;
        this._hotX = 0;
        this._hotY = 0;
        this._moves = 0;
        this._shown = false;
        this._signals = [];
        this._hotKey = null; // {action, name, accelerator, signal}
        this._indicator = null;
        this._client = null;
        this._clientWatch = 0;
        this._nameId = 0;
        this._dbus = null;
    }

    enable() {
        const {Gio} = this._lib;
        this._dbus = Gio.DBusExportedObject.wrapJSObject(INTERFACE, this);
        this._dbus.export(Gio.DBus.session, OBJECT_PATH);
        this._nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, BUS_NAME,
            Gio.BusNameOwnerFlags.REPLACE, null, null);
    }

    disable() {
        const {Gio} = this._lib;
        this._reset();
        if (this._nameId)
            Gio.bus_unown_name(this._nameId);
        this._nameId = 0;
        if (this._dbus)
            this._dbus.unexport();
        this._dbus = null;
    }

    // D-Bus methods. The *Async forms see the caller, whose end undoes
    // what it asked for.

    Version() {
        return [this._version, API_VERSION];
    }

    ShowAsync(params, invocation) {
        this._watchClient(invocation.get_sender());
        let ok = false;
        try {
            ok = this._show(...params);
        } catch (e) {
            logError(e, 'Lumicue: picture not shown');
        }
        if (!ok)
            this._hide();
        invocation.return_value(new this._lib.GLib.Variant('(b)', [ok]));
        this._emit('StateChanged');
    }

    Hide() {
        this._hide();
        this._emit('StateChanged');
    }

    State() {
        const a = this._actor;
        if (!this._shown || !a)
            return [false, 0, 0, 0, 0, this._moves];
        return [true, Math.round(a.x), Math.round(a.y), Math.round(a.width), Math.round(a.height), this._moves];
    }

    // What the program set up, and where the top-bar icon's centre is.
    Session() {
        const accel = this._hotKey?.accelerator ?? '';
        const b = this._indicator;
        if (!b)
            return [accel, false, 0, 0, false];
        const [x, y] = b.get_transformed_position();
        const [w, h] = b.get_transformed_size();
        return [accel, true, Math.round(x + w / 2), Math.round(y + h / 2), b.menu.isOpen];
    }

    Pointer() {
        const [x, y] = this._lib.global.get_pointer();
        return [x, y];
    }

    SetHotKeyAsync(params, invocation) {
        this._watchClient(invocation.get_sender());
        const ok = this._setHotKey(params[0]);
        invocation.return_value(new this._lib.GLib.Variant('(b)', [ok]));
        this._emit('StateChanged');
    }

    SetIndicatorAsync(params, invocation) {
        this._watchClient(invocation.get_sender());
        const [shown, tip] = params;
        if (shown)
            this._showIndicator(tip);
        else
            this._removeIndicator();
        invocation.return_value(null);
        this._emit('StateChanged');
    }

    ShowMenu(items) {
        if (this._indicator)
            this._fillMenu(items);
    }

    Notify(title, text) {
        this._lib.Main.notify(title, text);
    }

    // The picture: raw premultiplied BGRA rows of stride bytes, opacity
    // applied by the actor.
    _show(path, width, height, stride, hotX, hotY, opacity) {
        const {GLib, Clutter, Cogl, St, global} = this._lib;
        if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE || stride < width * 4)
            return false;
        const [, bytes] = GLib.file_get_contents(path);
        if (bytes.length !== stride * height)
            return false;
        const content = St.ImageContent.new_with_preferred_size(width, height);
        const format = Cogl.PixelFormat.BGRA_8888_PRE;
        // GNOME 46 and later want the drawing context first.
        if (content.set_data.length > 5) {
            const cogl = global.stage.context.get_backend().get_cogl_context();
            content.set_data(cogl, bytes, format, width, height, stride);
        } else {
            content.set_data(bytes, format, width, height, stride);
        }
        if (!this._actor) {
            this._actor = new Clutter.Actor({reactive: false, name: 'lumicue-pointer'});
            global.stage.add_child(this._actor);
        }
        this._actor.set_content(content);
        this._actor.set_size(width, height);
        this._actor.opacity = opacity;
        this._hotX = hotX;
        this._hotY = hotY;
        this._follow();
        if (!this._shown)
            this._connectWhileShown();
        this._shown = true;
        this._actor.show();
        return true;
    }

    _hide() {
        if (this._shown)
            this._disconnectWhileShown();
        this._shown = false;
        if (this._actor) {
            this._actor.destroy();
            this._actor = null;
        }
    }

    _follow() {
        const [x, y] = this._lib.global.get_pointer();
        this._actor.set_position(x - this._hotX, y - this._hotY);
        this._moves++;
    }

    _connectWhileShown() {
        const {Meta, global} = this._lib;
        const tracker = Meta.CursorTracker.get_for_display(global.display);
        // Whatever the shell adds to the stage later goes below the picture
        // (the signal's name changed with GNOME 46).
        const raise = () => global.stage.set_child_above_sibling(this._actor, null);
        let added;
        try {
            added = global.stage.connect('child-added', raise);
        } catch (e) {
            added = global.stage.connect('actor-added', raise);
        }
        this._signals = [
            [tracker, tracker.connect('position-invalidated', () => this._follow())],
            [global.stage, added],
        ];
        if (tracker.track_position)
            tracker.track_position();
        this._tracker = tracker;
    }

    _disconnectWhileShown() {
        for (const [object, id] of this._signals)
            object.disconnect(id);
        this._signals = [];
        if (this._tracker && this._tracker.untrack_position)
            this._tracker.untrack_position();
        this._tracker = null;
    }

    // The combination is grabbed directly rather than through a settings
    // key: a settings-backed binding takes effect only when the shell's loop
    // next idles, which a busy shell can put off for seconds.
    _setHotKey(accelerator) {
        const {Meta, Shell, Main, global} = this._lib;
        this._releaseHotKey();
        if (!accelerator)
            return true;
        const action = global.display.grab_accelerator(accelerator, Meta.KeyBindingFlags.NONE);
        if (action === Meta.KeyBindingAction.NONE)
            return false;
        const name = Meta.external_binding_name_for_action(action);
        Main.wm.allowKeybinding(name, Shell.ActionMode.ALL);
        const signal = global.display.connect('accelerator-activated', (display, activated) => {
            if (activated === action)
                this._emit('HotKeyPressed');
        });
        this._hotKey = {action, name, accelerator, signal};
        return true;
    }

    _releaseHotKey() {
        const {Shell, Main, global} = this._lib;
        if (!this._hotKey)
            return;
        const {action, name, signal} = this._hotKey;
        global.display.disconnect(signal);
        global.display.ungrab_accelerator(action);
        Main.wm.allowKeybinding(name, Shell.ActionMode.NONE);
        this._hotKey = null;
    }

    _showIndicator(tip) {
        const {Gio, Clutter, St, Main, PanelMenu} = this._lib;
        if (this._indicator)
            return;
        const button = new PanelMenu.Button(0.0, tip, false);
        const icon = new St.Icon({
            gicon: Gio.FileIcon.new(this._dir.get_child('lumicue.svg')),
            style_class: 'system-status-icon',
        });
        button.add_child(icon);
        // The program builds the menu afresh at each opening, as the tray's:
        // a press on the closed button empties it (so the button's own
        // handler, which runs next, leaves it shut) and asks the program,
        // whose ShowMenu fills and opens it.
        button.connect('event', (actor, event) => {
            const type = event.type();
            if (!button.menu.isOpen && (type === Clutter.EventType.BUTTON_PRESS ||
                type === Clutter.EventType.TOUCH_BEGIN)) {
                button.menu.removeAll();
                this._emit('IndicatorActivated');
            }
            return Clutter.EVENT_PROPAGATE;
        });
        button.menu.connect('open-state-changed', () => this._emit('StateChanged'));
        Main.panel.addToStatusArea('lumicue', button);
        this._indicator = button;
    }

    _fillMenu(items) {
        const {PopupMenu} = this._lib;
        const menu = this._indicator.menu;
        menu.removeAll();
        for (const [id, text, checked] of items) {
            if (id === 0) {
                menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
                continue;
            }
            const item = new PopupMenu.PopupMenuItem(plainText(text));
            if (checked)
                item.setOrnament(PopupMenu.Ornament.CHECK);
            item.connect('activate', () => this._emit('MenuCommand', id));
            menu.addMenuItem(item);
        }
        if (!menu.isOpen)
            menu.open(true);
    }

    _removeIndicator() {
        if (this._indicator)
            this._indicator.destroy();
        this._indicator = null;
    }

    _emit(name, id) {
        const {GLib} = this._lib;
        if (this._dbus)
            this._dbus.emit_signal(name, id === undefined ? null : new GLib.Variant('(u)', [id]));
    }

    // What a program asked for goes when it leaves the bus (even killed).
    _watchClient(sender) {
        const {Gio} = this._lib;
        if (!sender || sender === this._client)
            return;
        this._unwatchClient();
        this._client = sender;
        this._clientWatch = Gio.bus_watch_name_on_connection(Gio.DBus.session, sender,
            Gio.BusNameWatcherFlags.NONE, null, () => this._reset());
    }

    _unwatchClient() {
        if (this._clientWatch)
            this._lib.Gio.bus_unwatch_name(this._clientWatch);
        this._clientWatch = 0;
        this._client = null;
    }

    _reset() {
        this._unwatchClient();
        this._hide();
        this._releaseHotKey();
        this._removeIndicator();
        this._emit('StateChanged');
    }
}
