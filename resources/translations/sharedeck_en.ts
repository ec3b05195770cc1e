<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="de">
<context>
    <name>sharedeck</name>
    <message>
        <source>sharedeck</source>
        <translation>sharedeck</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;sharedeck&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;written by the sharedeck developers&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;https://sharedeck.example.org/&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;br/&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;img src=&quot;:/pics/portrait.jpg&quot;/&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;sharedeck&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;written by the sharedeck developers&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;span style=&quot; font-family:&apos;Sans Serif&apos;; font-size:12pt;&quot;&gt;https://sharedeck.example.org/&lt;/span&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;br/&gt;&lt;/p&gt;&lt;p align=&quot;center&quot;&gt;&lt;img src=&quot;:/pics/portrait.jpg&quot;/&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Load Shares</source>
        <translation>Load Shares</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Username</source>
        <translation>Username</translation>
    </message>
    <message>
        <source>&lt;b&gt;Fehler: smbclient nicht gefunden!&lt;/b&gt;&lt;br&gt;&lt;br&gt;Um die Shares eines Windows-Servers abzufragen,&lt;br&gt;wird das Paket smbclient benötigt.&lt;br&gt;Bitte installieren Sie das Paket smbclient.</source>
        <translation>&lt;b&gt;Error: smbclient not found!&lt;/b&gt;&lt;br&gt;&lt;br&gt;To list the shares of a Windows server,&lt;br&gt;the package smbclient is needed.&lt;br&gt;Please install the package smbclient.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Fehler: mount.cifs nicht gefunden!&lt;/b&gt;&lt;br&gt;&lt;br&gt;sharedeck benötigt mount.cifs zum Einhängen der Shares.&lt;br&gt;Bitte installieren Sie das Paket cifs-utils.</source>
        <translation>&lt;b&gt;Error: mount.cifs not found!&lt;/b&gt;&lt;br&gt;&lt;br&gt;sharedeck needs mount.cifs to mount the shares.&lt;br&gt;Please install the package cifs-utils.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Fehler: Server Konfigurations-Datei nicht gefunden oder leer!&lt;/b&gt;&lt;br&gt;&lt;br&gt;Bitte legen Sie im Programmverzeichnis eine Datei&lt;br&gt;namens server.conf an, in der Zeilenweise die&lt;br&gt;verfügbaren Windows-Server mittels Namen oder&lt;br&gt;I.P.-Adresse stehen.</source>
        <translation>&lt;b&gt;Error: server configuration file not found or empty!&lt;/b&gt;&lt;br&gt;&lt;br&gt;Please create a file named server.conf&lt;br&gt;in the program directory that lists&lt;br&gt;the available Windows servers by name or&lt;br&gt;IP address, one per line.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Fehler: Sie haben keinen Benutzernamen und/oder ein Paßwort angegeben!&lt;/b&gt;&lt;br&gt;&lt;br&gt;Bitte füllen Sie die Felder username und password aus.</source>
        <translation>&lt;b&gt;Error: you have not given a user name and/or a password!&lt;/b&gt;&lt;br&gt;&lt;br&gt;Please fill in the fields username and password.</translation>
    </message>
    <message>
        <source>Der Server hat nicht innerhalb von %1 s geantwortet; die Abfrage wurde abgebrochen. Bitte prüfen Sie, ob er eingeschaltet und das Netzwerk verbunden ist.

%2</source>
        <translation>The server did not answer within %1 s; the query was stopped. Please check that it is switched on and that the network is connected.

%2</translation>
    </message>
    <message>
        <source>FEHLER: DIE AUSGABE VON SMBCLIENT IST ZU GROSS (ÜBER %1 MiB)</source>
        <translation>ERROR: THE OUTPUT OF SMBCLIENT IS TOO LARGE (OVER %1 MiB)</translation>
    </message>
    <message>
        <source>

Ausgabe von smbclient:
</source>
        <translation>

Output of smbclient:
</translation>
    </message>
    <message>
        <source>Der Server hat keine Festplatten-Freigaben aufgelistet.</source>
        <translation>The server listed no disk shares.</translation>
    </message>
    <message>
        <source>Bitte ändern Sie ihn in der Tabelle.</source>
        <translation>Please change it in the table.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Das mount-Verzeichnis konnte nicht angelegt werden:&lt;/b&gt;&lt;br&gt;%1%2</source>
        <translation>&lt;b&gt;The mount directory could not be created:&lt;/b&gt;&lt;br&gt;%1%2</translation>
    </message>
    <message>
        <source>Zum Einhängen als normaler Benutzer wird pkexec benötigt.&lt;br&gt;Bitte installieren Sie das Paket pkexec (bei älteren Systemen policykit-1).</source>
        <translation>Mounting as a normal user needs pkexec.&lt;br&gt;Please install the package pkexec (on older systems policykit-1).</translation>
    </message>
    <message>
        <source>&lt;b&gt;Der Befehl hat nicht innerhalb von %1 s geantwortet und wurde abgebrochen.&lt;/b&gt;&lt;br&gt;</source>
        <translation>&lt;b&gt;The command did not answer within %1 s and was stopped.&lt;/b&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <source>&lt;b&gt;%1 ist abgestürzt.&lt;/b&gt;&lt;br&gt;</source>
        <translation>&lt;b&gt;%1 crashed.&lt;/b&gt;&lt;br&gt;</translation>
    </message>
    <message>
        <source>&lt;b&gt;Das Einhängen wurde nicht erlaubt.&lt;/b&gt;&lt;br&gt;&lt;br&gt;pkexec hat die Berechtigung verweigert.&lt;br&gt;Ein Administrator kann sie mit einer polkit-Regel für die Aktion&lt;br&gt;org.example.sharedeck.mount erteilen.</source>
        <translation>&lt;b&gt;Mounting was not permitted.&lt;/b&gt;&lt;br&gt;&lt;br&gt;pkexec refused the authorisation.&lt;br&gt;An administrator can grant it with a polkit rule for the action&lt;br&gt;org.example.sharedeck.mount.</translation>
    </message>
    <message>
        <source>&lt;/pre&gt;&lt;br&gt;Möchten Sie die Verzeichnisse aushängen&lt;br&gt;und das Programm beenden?</source>
        <translation>&lt;/pre&gt;&lt;br&gt;Do you want to unmount the directories&lt;br&gt;and quit the program?</translation>
    </message>
</context>
<context>
    <name>sharedeck-mount</name>
    <message>
        <source>Muss als root laufen (über pkexec)</source>
        <translation>Must run as root (through pkexec)</translation>
    </message>
    <message>
        <source>PKEXEC_UID ist ungültig</source>
        <translation>PKEXEC_UID is not valid</translation>
    </message>
    <message>
        <source>Das Passwort kam nicht innerhalb von %1 s an</source>
        <translation>The password did not arrive within %1 s</translation>
    </message>
    <message>
        <source>Das Passwort lässt sich nicht lesen</source>
        <translation>The password cannot be read</translation>
    </message>
    <message>
        <source>Das Passwort ist länger als %1 Bytes</source>
        <translation>The password is longer than %1 bytes</translation>
    </message>
    <message>
        <source>Das Passwort enthält ein Nullbyte</source>
        <translation>The password contains a null byte</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht schreiben: %2; die Freigabe wurde wieder ausgehängt</source>
        <translation>%1 cannot be written: %2; the share was unmounted again</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht lesen</source>
        <translation>%1 cannot be read</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht schreiben</source>
        <translation>%1 cannot be written</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht anlegen</source>
        <translation>%1 cannot be created</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht als Verzeichnis öffnen</source>
        <translation>%1 cannot be opened as a directory</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht öffnen</source>
        <translation>%1 cannot be opened</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht sperren</source>
        <translation>%1 cannot be locked</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht starten</source>
        <translation>%1 cannot be started</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht prüfen</source>
        <translation>%1 cannot be checked</translation>
    </message>
    <message>
        <source>%1 muss ein Verzeichnis von root sein</source>
        <translation>%1 must be a directory owned by root</translation>
    </message>
    <message>
        <source>%1 muss root gehören und darf nur für root beschreibbar sein</source>
        <translation>%1 must belong to root and be writable by root alone</translation>
    </message>
    <message>
        <source>Ein anderes Ein- oder Aushängen ist nicht rechtzeitig fertig geworden</source>
        <translation>Another mount or unmount did not finish in time</translation>
    </message>
    <message>
        <source>%1 hat nicht innerhalb von %2 s geantwortet und wurde abgebrochen</source>
        <translation>%1 did not answer within %2 s and was stopped</translation>
    </message>
    <message>
        <source>Das Ein- oder Aushängen ist nicht innerhalb von %1 s fertig geworden und wurde abgebrochen</source>
        <translation>The mount or unmount did not finish within %1 s and was stopped</translation>
    </message>
    <message>
        <source>Sie haben schon %1 Freigaben mit sharedeck eingehängt; bitte hängen Sie zuerst eine davon aus</source>
        <translation>You have already mounted %1 shares with sharedeck; please unmount one of them first</translation>
    </message>
    <message>
        <source>Die eingehängte Freigabe ließ sich nicht erkennen und wurde wieder ausgehängt</source>
        <translation>The mounted share could not be recognised and was unmounted again</translation>
    </message>
    <message>
        <source>%1 wurde nicht von sharedeck für Sie eingehängt</source>
        <translation>%1 was not mounted by sharedeck for you</translation>
    </message>
    <message>
        <source>Interner Fehler</source>
        <translation>Internal error</translation>
    </message>
    <message>
        <source>Aufruf: sharedeck-mount mount [--create] //SERVER/FREIGABE /mnt/NAME OPTIONEN | sharedeck-mount umount /mnt/NAME</source>
        <translation>Usage: sharedeck-mount mount [--create] //SERVER/SHARE /mnt/NAME OPTIONS | sharedeck-mount umount /mnt/NAME</translation>
    </message>
    <message>
        <source>Unbekannter Benutzer %1</source>
        <translation>Unknown user %1</translation>
    </message>
    <message>
        <source>Die Freigabe muss //SERVER/FREIGABE lauten: %1</source>
        <translation>The share must read //SERVER/SHARE: %1</translation>
    </message>
    <message>
        <source>Ungültiger Servername (erlaubt: Rechnername, IPv4- oder IPv6-Adresse): %1</source>
        <translation>Invalid server name (allowed: host name, IPv4 or IPv6 address): %1</translation>
    </message>
    <message>
        <source>Ungültiger Freigabename: %1</source>
        <translation>Invalid share name: %1</translation>
    </message>
    <message>
        <source>Leerer Eintrag in den Einhängeoptionen</source>
        <translation>Empty entry in the mount options</translation>
    </message>
    <message>
        <source>Einhängeoption nicht erlaubt: %1</source>
        <translation>Mount option not allowed: %1</translation>
    </message>
    <message>
        <source>Einhängeoption mehrfach angegeben: %1</source>
        <translation>Mount option given more than once: %1</translation>
    </message>
    <message>
        <source>Ungültiger Wert bei Einhängeoption %1</source>
        <translation>Invalid value for the mount option %1</translation>
    </message>
    <message>
        <source>uid= und gid= dürfen nur Ihre eigene Kennung nennen (uid=%1, gid=%2)</source>
        <translation>uid= and gid= may only name your own id (uid=%1, gid=%2)</translation>
    </message>
    <message>
        <source>cruid= darf nur Ihre eigene Kennung nennen (cruid=%1)</source>
        <translation>cruid= may only name your own id (cruid=%1)</translation>
    </message>
    <message>
        <source>Der Einhängepunkt muss /mnt/NAME lauten: %1</source>
        <translation>The mount point must read /mnt/NAME: %1</translation>
    </message>
    <message>
        <source>Ein Einhängepunkt darf nicht mit - oder . beginnen und muss UTF-8 sein: %1</source>
        <translation>A mount point may not begin with - or . and must be UTF-8: %1</translation>
    </message>
    <message>
        <source>Den Einhängepunkt %1 gibt es nicht</source>
        <translation>The mount point %1 does not exist</translation>
    </message>
    <message>
        <source>Den Einhängepunkt %1 gibt es schon</source>
        <translation>The mount point %1 exists already</translation>
    </message>
    <message>
        <source>%1 ist kein Verzeichnis (sondern z. B. eine Datei oder ein symbolischer Link)</source>
        <translation>%1 is not a directory (but, for example, a file or a symbolic link)</translation>
    </message>
    <message>
        <source>%1 ist schon ein Einhängepunkt</source>
        <translation>%1 is a mount point already</translation>
    </message>
    <message>
        <source>%1 gehört root: bitte wählen Sie in der Tabelle einen anderen Einhängepunkt</source>
        <translation>%1 belongs to root: please choose another mount point in the table</translation>
    </message>
    <message>
        <source>%1 gehört dem Benutzer %2: bitte wählen Sie in der Tabelle einen anderen Einhängepunkt</source>
        <translation>%1 belongs to the user %2: please choose another mount point in the table</translation>
    </message>
    <message>
        <source>%1 ist nicht leer</source>
        <translation>%1 is not empty</translation>
    </message>
    <message>
        <source>%1 ist nicht eingehängt</source>
        <translation>%1 is not mounted</translation>
    </message>
    <message>
        <source>%1 ist keine eingehängte Freigabe</source>
        <translation>%1 is not a mounted share</translation>
    </message>
</context>
</TS>
