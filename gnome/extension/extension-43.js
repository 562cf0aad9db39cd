// Entry point for GNOME Shell 43 and 44, which load extensions through
// `imports`; installed there as extension.js. The shared body is a module,
// loaded once on the first enable.
const {GLib, Gio, Clutter, Cogl, St, Meta, Shell} = imports.gi;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const PopupMenu = imports.ui.popupMenu;
const ExtensionUtils = imports.misc.extensionUtils;

class LumicueEntry {
    constructor() {
        this._shell = null;
        this._enabled = false;
    }

    enable() {
        this._enabled = true;
        const me = ExtensionUtils.getCurrentExtension();
        import(me.dir.get_child('lumicue.js').get_uri()).then(body => {
            // Disabled (or enabled again) while the body was loading.
            if (!this._enabled || this._shell)
                return;
            const lib = {GLib, Gio, Clutter, Cogl, St, Meta, Shell, Main, PanelMenu, PopupMenu, global};
            this._shell = new body.LumicueShell(lib, me.dir, String(me.metadata.version ?? ''));
            this._shell.enable();
        }).catch(e => logError(e, 'Lumicue: extension not started'));
    }

    disable() {
        this._enabled = false;
        if (this._shell)
            this._shell.disable();
        this._shell = null;
    }
}

function init() {
    return new LumicueEntry();
}
