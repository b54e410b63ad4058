'''python3-dbusmock's NetworkManager template made as strict as the daemon
where the stock one is kind, as NetworkManager documents its D-Bus API:

- Settings.Connection.Update replaces all previous settings: a setting or key
  the call leaves out is gone afterwards, secrets included; the new settings
  must keep the connection's uuid.
- GetSettings never includes secrets; GetSecrets(setting) answers them as
  {setting: {key: value}}.
- A caller polkit refuses (DenyPermissions(True) on the mock interface) gets
  org.freedesktop.NetworkManager.Settings.PermissionDenied from AddConnection,
  Update and Delete, and org.freedesktop.NetworkManager.PermissionDenied from
  ActivateConnection; nothing changes.
- SetGetSettingsDelay(ms) makes every GetSettings answer that late.
- SetPace(ms) makes ActivateConnection answer as the daemon does: at once,
  with an active connection still activating (1), the device then going
  through prepare, config and IP config, ms a step, before both are
  activated; an activation deactivated or replaced on the way stops there.

Loaded by its path: python3 -m dbusmock --system --template THIS_FILE.
'''

import time

import dbus
from gi.repository import GLib

import dbusmock
from dbusmock.templates import networkmanager as stock
# The mock interface's methods (AddWiFiDevice, AddAccessPoint, ...) come with
# this import: dbusmock takes every D-Bus method the template module holds.
from dbusmock.templates.networkmanager import *  # noqa: F401,F403 pylint: disable=wildcard-import,unused-wildcard-import

BUS_NAME = stock.BUS_NAME
MAIN_OBJ = stock.MAIN_OBJ
SYSTEM_BUS = True

SETTINGS_DENIED = 'org.freedesktop.NetworkManager.Settings.PermissionDenied'
MANAGER_DENIED = 'org.freedesktop.NetworkManager.PermissionDenied'

# The keys NetworkManager treats as secrets, by setting.
SECRETS = {
    '802-11-wireless-security': ('psk', 'wep-key0', 'wep-key1', 'wep-key2', 'wep-key3', 'leap-password'),
    '802-1x': ('password', 'private-key-password', 'phase2-private-key-password', 'pin'),
    'vpn': ('secrets',),
}

policy = {'denied': False, 'settings_delay_ms': 0, 'pace_ms': 0}

stock_delete = stock.ConnectionDelete
stock_add = stock.SettingsAddConnection
stock_activate = stock.activate_connection


def refuse(name, operation):
    if policy['denied']:
        raise dbus.exceptions.DBusException(
            f'Insufficient privileges to {operation}', name=name)


def is_secret(setting_name, key):
    return key in SECRETS.get(setting_name, ())


def strict_update(self, settings):
    refuse(SETTINGS_DENIED, 'update the connection')
    settings_obj = dbusmock.get_object(stock.SETTINGS_OBJ)
    if self.connection_path not in settings_obj.ListConnections():
        raise dbus.exceptions.DBusException(
            f'Connection {self.connection_path} does not exist',
            name='org.freedesktop.NetworkManager.Settings.InvalidConnection')
    connection = settings.get('connection', {})
    for key in ('id', 'type'):
        if key not in connection:
            raise dbus.exceptions.DBusException(
                f'connection.{key}: property is missing',
                name='org.freedesktop.NetworkManager.Settings.InvalidProperty')
    old_uuid = self.settings['connection']['uuid']
    if str(connection.get('uuid', old_uuid)) != str(old_uuid):
        raise dbus.exceptions.DBusException(
            'connection.uuid: the uuid of a connection cannot change',
            name='org.freedesktop.NetworkManager.Settings.InvalidProperty')
    replaced = {name: dict(setting) for name, setting in settings.items()}
    replaced['connection']['uuid'] = old_uuid
    self.settings = replaced
    self.EmitSignal(stock.CSETTINGS_IFACE, 'Updated', '', [])


def strict_get_settings(self):
    delay = policy['settings_delay_ms']
    if delay:
        time.sleep(delay / 1000.0)
    return {name: {k: v for k, v in setting.items() if not is_secret(name, k)}
            for name, setting in self.settings.items()}


def strict_get_secrets(self, setting_name):
    setting = self.settings.get(setting_name, {})
    return {setting_name: {k: v for k, v in setting.items() if is_secret(setting_name, k)}}


def strict_delete(self):
    refuse(SETTINGS_DENIED, 'delete the connection')
    stock_delete(self)


def strict_add(self, connection_settings):
    refuse(SETTINGS_DENIED, 'add a connection')
    return stock_add(self, connection_settings)


def strict_activate(self, conn, dev, ap):
    refuse(MANAGER_DENIED, 'activate a connection')
    if not policy['pace_ms'] or str(dev) == '/':
        return stock_activate(self, conn, dev, ap)
    return paced_activate(self, conn, dev, ap)


def set_device_state(device, state):
    before = device.Get(stock.DEVICE_IFACE, 'State')
    device.Set(stock.DEVICE_IFACE, 'State', dbus.UInt32(state))
    device.Set(stock.DEVICE_IFACE, 'StateReason', (dbus.UInt32(state), dbus.UInt32(0)))
    device.EmitSignal(stock.DEVICE_IFACE, 'StateChanged', 'uuu', [dbus.UInt32(state), before, dbus.UInt32(0)])


def paced_activate(self, conn, dev, ap):
    manager = dbusmock.get_object(stock.MANAGER_OBJ)
    active = list(manager.Get(stock.MANAGER_IFACE, 'ActiveConnections'))
    count = 0
    while dbus.ObjectPath(f'/org/freedesktop/NetworkManager/ActiveConnection/{count}') in active:
        count += 1
    path = dbus.ObjectPath(f'/org/freedesktop/NetworkManager/ActiveConnection/{count}')
    connection = dbusmock.get_object(conn).settings['connection']
    self.AddObject(path, stock.ACTIVE_CONNECTION_IFACE, {
        'Devices': dbus.Array([dbus.ObjectPath(dev)], signature='o'),
        'Default6': False,
        'Default': False,
        'Type': connection['type'],
        'Vpn': False,
        'Connection': dbus.ObjectPath(conn),
        'Master': dbus.ObjectPath('/'),
        'SpecificObject': dbus.ObjectPath(ap),
        'Uuid': connection['uuid'],
        'State': dbus.UInt32(1),
        'Id': connection['id'],
    }, [])
    self.object_manager_emit_added(path)
    manager.Set(stock.MANAGER_IFACE, 'ActiveConnections', dbus.Array(active + [path], signature='o'))
    device = dbusmock.get_object(dev)
    device.Set(stock.DEVICE_IFACE, 'ActiveConnection', path)
    steps = [40, 50, 70, 100]

    def step():
        try:
            device_now = dbusmock.get_object(dev)
            activation = dbusmock.get_object(path)
        except KeyError:
            return False
        if device_now.Get(stock.DEVICE_IFACE, 'ActiveConnection') != path:
            return False
        state = steps.pop(0)
        set_device_state(device_now, state)
        if state != 100:
            return True
        activation.Set(stock.ACTIVE_CONNECTION_IFACE, 'State', dbus.UInt32(2))
        activation.EmitSignal(stock.ACTIVE_CONNECTION_IFACE, 'StateChanged', 'uu', [dbus.UInt32(2), dbus.UInt32(0)])
        return False

    GLib.timeout_add(policy['pace_ms'], step)
    return path


# The stock template looks these up each time it makes a connection object.
stock.ConnectionUpdate = strict_update
stock.ConnectionGetSettings = strict_get_settings
stock.ConnectionGetSecrets = strict_get_secrets
stock.ConnectionDelete = strict_delete


def load(mock, parameters):
    stock.load(mock, parameters)
    settings_obj = dbusmock.get_object(stock.SETTINGS_OBJ)
    settings_obj.strict_add = strict_add
    for method in ('AddConnection', 'AddConnectionUnsaved'):
        settings_obj.AddMethod(stock.SETTINGS_IFACE, method, 'a{sa{sv}}', 'o', 'ret = self.strict_add(self, args[0])')
    manager = dbusmock.get_object(stock.MANAGER_OBJ)
    manager.activate_connection = strict_activate


@dbus.service.method(stock.MOCK_IFACE, in_signature='b', out_signature='')
def DenyPermissions(_self, denied):
    '''From now on polkit refuses (True) or allows (False) the caller.'''
    policy['denied'] = bool(denied)


@dbus.service.method(stock.MOCK_IFACE, in_signature='u', out_signature='')
def SetPace(_self, pace_ms):
    '''ActivateConnection answers at once and activates pace_ms a step; 0: at once.'''
    policy['pace_ms'] = int(pace_ms)


@dbus.service.method(stock.MOCK_IFACE, in_signature='u', out_signature='')
def SetGetSettingsDelay(_self, delay_ms):
    '''Every GetSettings answers delay_ms late (the mock answers nothing meanwhile).'''
    policy['settings_delay_ms'] = int(delay_ms)
