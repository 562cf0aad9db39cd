// Entry point for GNOME Shell 45 and later, which load extensions as
// modules; the work is done by lumicue.js.
import GLib from 'gi://GLib';
import Gio from 'gi://Gio';
import Clutter from 'gi://Clutter';
import Cogl from 'gi://Cogl';
import St from 'gi://St';
import Meta from 'gi://Meta';
import Shell from 'gi://Shell';

import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import * as PanelMenu from 'resource:///org/gnome/shell/ui/panelMenu.js';
import * as PopupMenu from 'resource:///org/gnome/shell/ui/popupMenu.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

import {LumicueShell} from './lumicue.js';

export default class LumicueExtension extends Extension {
    enable() {
        const lib = {GLib, Gio, Clutter, Cogl, St, Meta, Shell, Main, PanelMenu, PopupMenu, global};
        this._shell = new LumicueShell(lib, this.dir, String(this.metadata.version ?? ''));
        this._shell.enable();
    }

    disable() {
        this._shell?.disable();
        this._shell = null;
    }
}
