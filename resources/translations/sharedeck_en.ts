<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="de">
<context>
    <name>PasswordStore</name>
    <message>
        <location filename="../../src/passwordstore.cpp" line="64"/>
        <source>Der Schlüsselbund hat nicht innerhalb von %1 s geantwortet.</source>
        <translation>The keyring did not answer within %1 s.</translation>
    </message>
    <message>
        <location filename="../../src/passwordstore.cpp" line="86"/>
        <source>unbekannter Fehler</source>
        <translation>unknown error</translation>
    </message>
</context>
<context>
    <name>RememberedPasswords</name>
    <message>
        <location filename="../../src/passwordstore.cpp" line="182"/>
        <source>Passwörter lassen sich nicht merken: Der Schlüsselbund des Desktops ist nicht erreichbar (%1).</source>
        <translation>Passwords cannot be remembered: the desktop&apos;s keyring cannot be reached (%1).</translation>
    </message>
    <message>
        <location filename="../../src/passwordstore.cpp" line="218"/>
        <source> Das gemerkte Passwort wurde nicht angenommen und wird nicht mehr eingesetzt. Bitte geben Sie das richtige Passwort ein: Es ersetzt das gemerkte, sobald die Anmeldung damit gelingt.</source>
        <translation> The remembered password was not accepted and will not be filled in again. Please type the right password: it replaces the remembered one as soon as you log in with it.</translation>
    </message>
</context>
<context>
    <name>commands</name>
    <message>
        <location filename="../../src/commands.cpp" line="118"/>
        <source>Kerberos braucht den Namen des Servers, nicht seine Adresse. Bitte tragen Sie den Namen des Servers in server.conf ein, oder geben Sie Benutzername und Passwort ein.</source>
        <translation>Kerberos needs the name of the server, not its address. Please put the server&apos;s name into server.conf, or type user name and password.</translation>
    </message>
    <message>
        <location filename="../../src/commands.cpp" line="153"/>
        <source>Der Benutzername darf kein &quot;%&quot; enthalten.</source>
        <translation>The user name must not contain &quot;%&quot;.</translation>
    </message>
    <message>
        <location filename="../../src/commands.cpp" line="160"/>
        <source>Der Benutzername darf zum Einhängen weder &quot;,&quot; noch &quot;=&quot; enthalten.</source>
        <translation>For mounting, the user name must contain neither &quot;,&quot; nor &quot;=&quot;.</translation>
    </message>
    <message>
        <location filename="../../src/commands.cpp" line="179"/>
        <source>Der Mountpoint muss %1NAME lauten: ein Name direkt in %2, nicht . oder .., ohne Steuerzeichen, höchstens 255 Bytes lang.</source>
        <translation>The mount point must be %1NAME: one name directly in %2, not . or .., without control characters, at most 255 bytes long.</translation>
    </message>
    <message>
        <location filename="../../src/commands.cpp" line="190"/>
        <source>Diese Freigabe lässt sich nicht einhängen: Ihr Name beginnt mit &quot;-&quot; oder enthält &quot;,&quot;, &quot;\&quot; oder ein Steuerzeichen.</source>
        <translation>This share cannot be mounted: its name begins with &quot;-&quot; or contains &quot;,&quot;, &quot;\&quot; or a control character.</translation>
    </message>
</context>
<context>
    <name>dialogsupport</name>
    <message>
        <location filename="../../src/dialogsupport.cpp" line="80"/>
        <source>… (gekürzt)</source>
        <translation>… (shortened)</translation>
    </message>
</context>
<context>
    <name>sharedeck</name>
    <message>
        <location filename="../../src/forms/sharedeck.ui" line="14"/>
        <source>sharedeck</source>
        <translation>sharedeck</translation>
    </message>
    <message>
        <location filename="../../src/forms/sharedeck.ui" line="17"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;sharedeck&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;written by the sharedeck developers&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;https://sharedeck.example.org/&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;br/&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;img src=&quot;:/pics/portrait.jpg&quot;/&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;sharedeck&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;written by the sharedeck developers&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;https://sharedeck.example.org/&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;br/&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;img src=&quot;:/pics/portrait.jpg&quot;/&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location filename="../../src/forms/sharedeck.ui" line="49"/>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <location filename="../../src/forms/sharedeck.ui" line="62"/>
        <source>Load Shares</source>
        <translation>Load Shares</translation>
    </message>
    <message>
        <location filename="../../src/forms/sharedeck.ui" line="80"/>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <location filename="../../src/forms/sharedeck.ui" line="121"/>
        <source>Username</source>
        <translation>Username</translation>
    </message>
    <message>
        <location filename="../../src/forms/sharedeck.ui" line="149"/>
        <source>Das Passwort für diesen Benutzer und Server im Schlüsselbund des Desktops speichern</source>
        <translation>Keep the password for this user and server in the desktop&apos;s keyring</translation>
    </message>
    <message>
        <location filename="../../src/forms/sharedeck.ui" line="152"/>
        <source>Passwort merken</source>
        <translation>Save password</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_frame.cpp" line="94"/>
        <source>&lt;b&gt;Fehler: smbclient nicht gefunden!&lt;/b&gt;&lt;br&gt;&lt;br&gt;Um die Shares eines Windows-Servers abzufragen,&lt;br&gt;wird das Paket smbclient benötigt.&lt;br&gt;Bitte installieren Sie das Paket smbclient.</source>
        <translation>&lt;b&gt;Error: smbclient not found!&lt;/b&gt;&lt;br&gt;&lt;br&gt;To list the shares of a Windows server,&lt;br&gt;the package smbclient is needed.&lt;br&gt;Please install the package smbclient.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_frame.cpp" line="102"/>
        <source>&lt;b&gt;Fehler: mount.cifs nicht gefunden!&lt;/b&gt;&lt;br&gt;&lt;br&gt;sharedeck benötigt mount.cifs zum Einhängen der Shares.&lt;br&gt;Bitte installieren Sie das Paket cifs-utils.</source>
        <translation>&lt;b&gt;Error: mount.cifs not found!&lt;/b&gt;&lt;br&gt;&lt;br&gt;sharedeck needs mount.cifs to mount the shares.&lt;br&gt;Please install the package cifs-utils.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_frame.cpp" line="108"/>
        <source>&lt;b&gt;Fehler: Server Konfigurations-Datei nicht gefunden oder leer!&lt;/b&gt;&lt;br&gt;&lt;br&gt;Bitte legen Sie im Programmverzeichnis eine Datei&lt;br&gt;namens server.conf an, in der Zeilenweise die&lt;br&gt;verfügbaren Windows-Server mittels Namen oder&lt;br&gt;I.P.-Adresse stehen.</source>
        <translation>&lt;b&gt;Error: server configuration file not found or empty!&lt;/b&gt;&lt;br&gt;&lt;br&gt;Please create a file named server.conf&lt;br&gt;in the program directory that lists&lt;br&gt;the available Windows servers by name or&lt;br&gt;IP address, one per line.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_shares.cpp" line="63"/>
        <source>&lt;b&gt;Fehler: Sie haben keinen Benutzernamen und/oder ein Paßwort angegeben!&lt;/b&gt;&lt;br&gt;&lt;br&gt;Bitte füllen Sie die Felder username und password aus.</source>
        <translation>&lt;b&gt;Error: you have not given a user name and/or a password!&lt;/b&gt;&lt;br&gt;&lt;br&gt;Please fill in the fields username and password.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_shares.cpp" line="68"/>
        <source>&lt;br&gt;&lt;br&gt;Ihr Kerberos-Ticket ist nicht mehr gültig (abgelaufen oder gelöscht). Bitte erneuern Sie es mit kinit oder melden Sie sich neu an, oder geben Sie Benutzername und Passwort ein.</source>
        <translation>&lt;br&gt;&lt;br&gt;Your Kerberos ticket is no longer valid (it expired or was deleted). Please renew it with kinit or log in again, or type user name and password.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_shares.cpp" line="130"/>
        <source>Der Server hat nicht innerhalb von %1 s geantwortet; die Abfrage wurde abgebrochen. Bitte prüfen Sie, ob er eingeschaltet und das Netzwerk verbunden ist.

%2</source>
        <translation>The server did not answer within %1 s; the query was stopped. Please check that it is switched on and that the network is connected.

%2</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_shares.cpp" line="137"/>
        <source>FEHLER: DIE AUSGABE VON SMBCLIENT IST ZU GROSS (ÜBER %1 MiB)</source>
        <translation>ERROR: THE OUTPUT OF SMBCLIENT IS TOO LARGE (OVER %1 MiB)</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_shares.cpp" line="144"/>
        <source>

Ausgabe von smbclient:
</source>
        <translation>

Output of smbclient:
</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_shares.cpp" line="147"/>
        <source>Der Server hat keine Festplatten-Freigaben aufgelistet.</source>
        <translation>The server listed no disk shares.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_shares.cpp" line="165"/>
        <source>%1 (von %2)</source>
        <translation>%1 (from %2)</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_shares.cpp" line="166"/>
        <source>Diese Tabelle zeigt die Freigaben von %1, nicht von %2: Laden Sie die Freigaben neu, um die des gewählten Servers zu sehen.</source>
        <translation>This table shows the shares of %1, not of %2: load the shares again to see those of the chosen server.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_shares.cpp" line="241"/>
        <source>Der Mountpoint wird von einem anderen Benutzer benutzt: Dort ist eine Freigabe für ihn eingehängt, die Sie weder öffnen noch aushängen können. Bitte wählen Sie in der Tabelle einen anderen Mountpoint.</source>
        <translation>The mount point is in use by another user: a share is mounted there for them, which you can neither open nor unmount. Please choose another mount point in the table.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="42"/>
        <source>Der Mountpoint ist kein Verzeichnis (oder ein symbolischer Link).</source>
        <translation>The mount point is not a directory (or it is a symbolic link).</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="44"/>
        <source>Der Mountpoint ist nicht leer: Die Freigabe würde seine Dateien verdecken. Bitte wählen Sie in der Tabelle einen anderen.</source>
        <translation>The mount point is not empty: the share would hide its files. Please choose another one in the table.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="158"/>
        <source>Bitte ändern Sie ihn in der Tabelle.</source>
        <translation>Please change it in the table.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="178"/>
        <source>sharedeck: fehlendes mount-Verzeichnis</source>
        <translation>sharedeck: missing mount directory</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="179"/>
        <source>Das mount-Verzeichnis existiert nicht.&lt;br&gt;Soll es angelegt werden?</source>
        <translation>The mount directory does not exist.&lt;br&gt;Do you want to create it?</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="187"/>
        <source>&lt;b&gt;Das mount-Verzeichnis konnte nicht angelegt werden:&lt;/b&gt;&lt;br&gt;%1%2</source>
        <translation>&lt;b&gt;The mount directory could not be created:&lt;/b&gt;&lt;br&gt;%1%2</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="216"/>
        <source>Die Freigabe ist hier eingehängt: Freigabename und Mountpoint lassen sich erst nach dem Aushängen ändern.</source>
        <translation>The share is mounted here: its share name and mount point can be changed only after it is unmounted.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="246"/>
        <source>&lt;b&gt;%1 konnte nicht gestartet werden!&lt;/b&gt;&lt;br&gt;</source>
        <translation>&lt;b&gt;%1 could not be started!&lt;/b&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="249"/>
        <source>Zum Einhängen als normaler Benutzer wird pkexec benötigt.&lt;br&gt;Bitte installieren Sie das Paket pkexec (bei älteren Systemen policykit-1).</source>
        <translation>Mounting as a normal user needs pkexec.&lt;br&gt;Please install the package pkexec (on older systems policykit-1).</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="264"/>
        <source>sharedeck: Fehler von mount</source>
        <translation>sharedeck: mount error</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="282"/>
        <source>&lt;b&gt;Der Befehl hat nicht innerhalb von %1 s geantwortet und wurde abgebrochen.&lt;/b&gt;&lt;br&gt;</source>
        <translation>&lt;b&gt;The command did not answer within %1 s and was stopped.&lt;/b&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="287"/>
        <source>&lt;b&gt;%1 ist abgestürzt.&lt;/b&gt;&lt;br&gt;</source>
        <translation>&lt;b&gt;%1 crashed.&lt;/b&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="290"/>
        <source>mount meldete einen Fehler! (Error-Code:%1)&lt;br&gt;</source>
        <translation>mount reported an error! (error code: %1)&lt;br&gt;</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="296"/>
        <source>&lt;b&gt;Das Einhängen wurde nicht erlaubt.&lt;/b&gt;&lt;br&gt;&lt;br&gt;Es konnte kein Anmeldedialog angezeigt werden: Dazu muss das Authentifizierungsprogramm (der polkit-Agent) Ihrer Arbeitsumgebung laufen. Bitte melden Sie sich an einer grafischen Arbeitsumgebung an, die es startet, oder bitten Sie einen Administrator, Sie in die Gruppe sharedeck aufzunehmen.</source>
        <translation>&lt;b&gt;Mounting was not permitted.&lt;/b&gt;&lt;br&gt;&lt;br&gt;No authentication dialog could be shown: for that, the authentication agent (polkit agent) of your desktop must be running. Please log in to a graphical desktop that starts it, or ask an administrator to add you to the group sharedeck.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="303"/>
        <source>&lt;b&gt;Das Einhängen wurde nicht erlaubt.&lt;/b&gt;&lt;br&gt;&lt;br&gt;pkexec hat die Berechtigung verweigert.&lt;br&gt;Ein Administrator kann sie mit einer polkit-Regel für die Aktion&lt;br&gt;org.example.sharedeck.mount erteilen.</source>
        <translation>&lt;b&gt;Mounting was not permitted.&lt;/b&gt;&lt;br&gt;&lt;br&gt;pkexec refused the authorisation.&lt;br&gt;An administrator can grant it with a polkit rule for the action&lt;br&gt;org.example.sharedeck.mount.</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="398"/>
        <source>sharedeck: gemountete Verzeichnisse</source>
        <translation>sharedeck: mounted directories</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="399"/>
        <source>Es sind noch Verzeichnisse gemounted.&lt;br&gt;&lt;pre&gt;</source>
        <translation>Some directories are still mounted.&lt;br&gt;&lt;pre&gt;</translation>
    </message>
    <message>
        <location filename="../../src/sharedeck_mounts.cpp" line="401"/>
        <source>&lt;/pre&gt;&lt;br&gt;Möchten Sie die Verzeichnisse aushängen&lt;br&gt;und das Programm beenden?</source>
        <translation>&lt;/pre&gt;&lt;br&gt;Do you want to unmount the directories&lt;br&gt;and quit the program?</translation>
    </message>
</context>
<context>
    <name>sharedeck-mount</name>
    <message>
        <location filename="../../src/translation.cpp" line="23"/>
        <source>Muss als root laufen (über pkexec)</source>
        <translation>Must run as root (through pkexec)</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="24"/>
        <source>PKEXEC_UID ist ungültig</source>
        <translation>PKEXEC_UID is not valid</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="25"/>
        <source>Das Passwort kam nicht innerhalb von %1 s an</source>
        <translation>The password did not arrive within %1 s</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="26"/>
        <source>Das Passwort lässt sich nicht lesen</source>
        <translation>The password cannot be read</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="27"/>
        <source>Das Passwort ist länger als %1 Bytes</source>
        <translation>The password is longer than %1 bytes</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="28"/>
        <source>Das Passwort enthält ein Nullbyte</source>
        <translation>The password contains a null byte</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="29"/>
        <source>%1 lässt sich nicht schreiben: %2; die Freigabe wurde wieder ausgehängt</source>
        <translation>%1 cannot be written: %2; the share was unmounted again</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="30"/>
        <source>%1 lässt sich nicht lesen</source>
        <translation>%1 cannot be read</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="31"/>
        <source>%1 lässt sich nicht schreiben</source>
        <translation>%1 cannot be written</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="32"/>
        <source>%1 lässt sich nicht anlegen</source>
        <translation>%1 cannot be created</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="33"/>
        <source>%1 lässt sich nicht als Verzeichnis öffnen</source>
        <translation>%1 cannot be opened as a directory</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="34"/>
        <source>%1 lässt sich nicht öffnen</source>
        <translation>%1 cannot be opened</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="35"/>
        <source>%1 lässt sich nicht sperren</source>
        <translation>%1 cannot be locked</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="36"/>
        <source>%1 lässt sich nicht starten</source>
        <translation>%1 cannot be started</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="37"/>
        <source>%1 lässt sich nicht prüfen</source>
        <translation>%1 cannot be checked</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="38"/>
        <source>%1 muss ein Verzeichnis von root sein</source>
        <translation>%1 must be a directory owned by root</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="39"/>
        <source>%1 muss root gehören und darf nur für root beschreibbar sein</source>
        <translation>%1 must belong to root and be writable by root alone</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="40"/>
        <source>Ein anderes Ein- oder Aushängen ist nicht rechtzeitig fertig geworden</source>
        <translation>Another mount or unmount did not finish in time</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="41"/>
        <source>%1 hat nicht innerhalb von %2 s geantwortet und wurde abgebrochen</source>
        <translation>%1 did not answer within %2 s and was stopped</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="42"/>
        <source>Das Ein- oder Aushängen ist nicht innerhalb von %1 s fertig geworden und wurde abgebrochen</source>
        <translation>The mount or unmount did not finish within %1 s and was stopped</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="44"/>
        <source>Sie haben schon %1 Freigaben mit sharedeck eingehängt; bitte hängen Sie zuerst eine davon aus</source>
        <translation>You have already mounted %1 shares with sharedeck; please unmount one of them first</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="46"/>
        <source>Die eingehängte Freigabe ließ sich nicht erkennen und wurde wieder ausgehängt</source>
        <translation>The mounted share could not be recognised and was unmounted again</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="48"/>
        <source>Am Einhängepunkt liegt außer der Freigabe noch etwas anderes; alles dort wurde wieder ausgehängt</source>
        <translation>Something other than the share is mounted at the mount point as well; everything there was unmounted again</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="50"/>
        <source>Die Freigabe ist nicht wie verlangt (mit nosuid und nodev) eingehängt worden und wurde wieder ausgehängt</source>
        <translation>The share was not mounted as required (with nosuid and nodev) and was unmounted again</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="52"/>
        <source>%1 wurde nicht von sharedeck für Sie eingehängt</source>
        <translation>%1 was not mounted by sharedeck for you</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="53"/>
        <source>Interner Fehler</source>
        <translation>Internal error</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="54"/>
        <source>Aufruf: sharedeck-mount mount [--create] //SERVER/FREIGABE /mnt/NAME OPTIONEN | sharedeck-mount umount /mnt/NAME</source>
        <translation>Usage: sharedeck-mount mount [--create] //SERVER/SHARE /mnt/NAME OPTIONS | sharedeck-mount umount /mnt/NAME</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="56"/>
        <source>Unbekannter Benutzer %1</source>
        <translation>Unknown user %1</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="57"/>
        <source>Die Freigabe muss //SERVER/FREIGABE lauten: %1</source>
        <translation>The share must read //SERVER/SHARE: %1</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="58"/>
        <source>Ungültiger Servername (erlaubt: Rechnername, IPv4- oder IPv6-Adresse): %1</source>
        <translation>Invalid server name (allowed: host name, IPv4 or IPv6 address): %1</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="59"/>
        <source>Ungültiger Freigabename: %1</source>
        <translation>Invalid share name: %1</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="60"/>
        <source>Leerer Eintrag in den Einhängeoptionen</source>
        <translation>Empty entry in the mount options</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="61"/>
        <source>Einhängeoption nicht erlaubt: %1</source>
        <translation>Mount option not allowed: %1</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="62"/>
        <source>Einhängeoption mehrfach angegeben: %1</source>
        <translation>Mount option given more than once: %1</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="63"/>
        <source>Ungültiger Wert bei Einhängeoption %1</source>
        <translation>Invalid value for the mount option %1</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="64"/>
        <source>uid= und gid= dürfen nur Ihre eigene Kennung nennen (uid=%1, gid=%2)</source>
        <translation>uid= and gid= may only name your own id (uid=%1, gid=%2)</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="65"/>
        <source>cruid= darf nur Ihre eigene Kennung nennen (cruid=%1)</source>
        <translation>cruid= may only name your own id (cruid=%1)</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="66"/>
        <source>Der Einhängepunkt muss /mnt/NAME lauten: %1</source>
        <translation>The mount point must read /mnt/NAME: %1</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="67"/>
        <source>Ein Einhängepunkt darf nicht mit - oder . beginnen und muss UTF-8 sein: %1</source>
        <translation>A mount point may not begin with - or . and must be UTF-8: %1</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="68"/>
        <source>Den Einhängepunkt %1 gibt es nicht</source>
        <translation>The mount point %1 does not exist</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="69"/>
        <source>Den Einhängepunkt %1 gibt es schon</source>
        <translation>The mount point %1 exists already</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="70"/>
        <source>%1 ist kein Verzeichnis (sondern z. B. eine Datei oder ein symbolischer Link)</source>
        <translation>%1 is not a directory (but, for example, a file or a symbolic link)</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="72"/>
        <source>%1 ist kein Verzeichnis</source>
        <translation>%1 is not a directory</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="73"/>
        <source>%1 ist schon ein Einhängepunkt</source>
        <translation>%1 is a mount point already</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="74"/>
        <source>%1 gehört root: bitte wählen Sie in der Tabelle einen anderen Einhängepunkt</source>
        <translation>%1 belongs to root: please choose another mount point in the table</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="75"/>
        <source>%1 gehört dem Benutzer %2: bitte wählen Sie in der Tabelle einen anderen Einhängepunkt</source>
        <translation>%1 belongs to the user %2: please choose another mount point in the table</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="77"/>
        <source>%1 ist nicht leer</source>
        <translation>%1 is not empty</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="78"/>
        <source>%1 ist nicht eingehängt</source>
        <translation>%1 is not mounted</translation>
    </message>
    <message>
        <location filename="../../src/translation.cpp" line="79"/>
        <source>%1 ist keine eingehängte Freigabe</source>
        <translation>%1 is not a mounted share</translation>
    </message>
</context>
<context>
    <name>sharelisting</name>
    <message>
        <location filename="../../src/sharelisting.cpp" line="44"/>
        <source>Der Server hat die Verbindung angenommen, aber seine Liste der Freigaben nicht herausgegeben. Bitte versuchen Sie es noch einmal, oder wenden Sie sich an den Administrator des Servers.</source>
        <translation>The server accepted the connection but did not hand out its list of shares. Please try again, or ask the server&apos;s administrator.</translation>
    </message>
    <message>
        <location filename="../../src/sharelisting.cpp" line="53"/>
        <source>Der Server ist nicht erreichbar oder antwortet nicht. Bitte prüfen Sie, ob er eingeschaltet und das Netzwerk verbunden ist, und versuchen Sie es später noch einmal.</source>
        <translation>The server cannot be reached or does not answer. Please check that it is switched on and that the network is connected, and try again later.</translation>
    </message>
    <message>
        <location filename="../../src/sharelisting.cpp" line="57"/>
        <source>Das Benutzerkonto ist auf dem Server deaktiviert oder gesperrt (etwa nach zu vielen falschen Passwörtern). Bitte wenden Sie sich an den Administrator des Servers.</source>
        <translation>The user account is disabled or locked on the server (for example after too many wrong passwords). Please ask the server&apos;s administrator.</translation>
    </message>
    <message>
        <location filename="../../src/sharelisting.cpp" line="61"/>
        <source>Benutzername oder Passwort sind falsch. Bitte prüfen Sie beide und versuchen Sie es noch einmal.</source>
        <translation>The user name or the password is wrong. Please check both and try again.</translation>
    </message>
    <message>
        <location filename="../../src/sharelisting.cpp" line="66"/>
        <source>Der Server ist unbekannt: Sein Name lässt sich nicht auflösen. Bitte prüfen Sie den Eintrag in server.conf.</source>
        <translation>The server is unknown: its name cannot be resolved. Please check its entry in server.conf.</translation>
    </message>
    <message>
        <location filename="../../src/sharelisting.cpp" line="74"/>
        <source>Der Server spricht nur das veraltete Protokoll SMB1. Zum Auflisten muss ein Administrator in /etc/samba/smb.conf unter [global] &quot;client min protocol = NT1&quot; eintragen; zum Einhängen fügen Sie in der Spalte Options vers=1.0 hinzu.</source>
        <translation>The server speaks only the outdated protocol SMB1. For listing its shares, an administrator must add &quot;client min protocol = NT1&quot; under [global] in /etc/samba/smb.conf; for mounting, add vers=1.0 in the column Options.</translation>
    </message>
    <message>
        <location filename="../../src/sharelisting.cpp" line="92"/>
        <source>Die Anmeldung mit Kerberos ist fehlgeschlagen: Ihr Ticket ist abgelaufen, oder der Server gehört nicht zur Domäne. Bitte melden Sie sich neu an (oder führen Sie kinit aus) und laden Sie die Freigaben noch einmal, oder geben Sie Benutzername und Passwort ein.</source>
        <translation>Logging in with Kerberos failed: your ticket has expired, or the server is not part of the domain. Please log in again (or run kinit) and load the shares again, or type user name and password.</translation>
    </message>
    <message>
        <location filename="../../src/sharelisting.cpp" line="140"/>
        <source>Die Anmeldung mit Kerberos ist fehlgeschlagen: Ihr Ticket ist abgelaufen oder fehlt, oder der Server ist der Domäne unbekannt. Bitte melden Sie sich neu an (oder führen Sie kinit aus), oder geben Sie Ihr Passwort ein und laden Sie die Freigaben neu.</source>
        <translation>Logging in with Kerberos failed: your ticket has expired or is missing, or the domain does not know the server. Please log in again (or run kinit), or type your password and load the shares again.</translation>
    </message>
    <message>
        <location filename="../../src/sharelisting.cpp" line="146"/>
        <source>Der Server spricht nur das veraltete Protokoll SMB1: fügen Sie in der Spalte Options vers=1.0 hinzu.</source>
        <translation>The server speaks only the outdated protocol SMB1: add vers=1.0 in the column Options.</translation>
    </message>
    <message>
        <location filename="../../src/sharelisting.cpp" line="151"/>
        <source>Der Server hat diesem Benutzer den Zugriff auf diese Freigabe verweigert. Bitte prüfen Sie Benutzername und Passwort, oder bitten Sie den Administrator des Servers um das Recht an der Freigabe.</source>
        <translation>The server refused this user access to this share. Please check user name and password, or ask the server&apos;s administrator for the right to use the share.</translation>
    </message>
    <message>
        <location filename="../../src/sharelisting.cpp" line="156"/>
        <source>Die Freigabe wird noch von einem Programm oder einem Terminal benutzt. Bitte schließen Sie es oder verlassen Sie den Ordner, und hängen Sie die Freigabe dann noch einmal aus.</source>
        <translation>The share is still in use by a program or a terminal. Please close it or leave the folder, then unmount the share again.</translation>
    </message>
</context>
</TS>
