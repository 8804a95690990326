<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>ConfigDialog</name>
    <message>
        <source>MIDIコントローラ使用</source>
        <translation>Use MIDI control</translation>
    </message>
    <message>
        <source>入力デバイス</source>
        <translation>Input device</translation>
    </message>
    <message>
        <source>出力デバイス</source>
        <translation>Output device</translation>
    </message>
    <message>
        <source>MIDI入力デバイス</source>
        <translation>MIDI input</translation>
    </message>
    <message>
        <source>バッファ長</source>
        <translation>Buffer length</translation>
    </message>
    <message>
        <source>遅延最小</source>
        <translation>Latency min</translation>
    </message>
    <message>
        <source>遅延最長</source>
        <translation>Latency max</translation>
    </message>
    <message>
        <source>MIDI入力Ch</source>
        <translation>MIDI channel</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>基準ピッチ A4</source>
        <translation>Reference A4</translation>
    </message>
</context>
<context>
    <name>DeviceError</name>
    <message>
        <source>この名前のデバイスを検出できませんでした</source>
        <translation>No device of this name was found</translation>
    </message>
    <message>
        <source>サンプリング周波数を変換できませんでした: %1</source>
        <translation>Could not convert the sample rate: %1</translation>
    </message>
    <message>
        <source>WAVファイルが設定されていません。</source>
        <translation>No WAV file is set.</translation>
    </message>
    <message>
        <source>WAVファイルを開けませんでした: %1 (%2)</source>
        <translation>Could not open the WAV file: %1 (%2)</translation>
    </message>
    <message>
        <source>このWAVファイルの形式には対応していません: %1</source>
        <translation>The format of this WAV file is not supported: %1</translation>
    </message>
    <message>
        <source>録音先のWAVファイルが設定されていません。</source>
        <translation>No WAV file to record to is set.</translation>
    </message>
    <message>
        <source>録音先のWAVファイルを作成できませんでした: %1 (%2)</source>
        <translation>Could not create the WAV file to record to: %1 (%2)</translation>
    </message>
    <message>
        <source>エラーはありません。</source>
        <translation>No error.</translation>
    </message>
    <message>
        <source>指定されたデバイスは存在しません。</source>
        <translation>The chosen device does not exist.</translation>
    </message>
    <message>
        <source>このデバイスは指定された形式に対応していません。</source>
        <translation>This device does not support the requested format.</translation>
    </message>
    <message>
        <source>デバイスが開かれていません。</source>
        <translation>The device is not open.</translation>
    </message>
    <message>
        <source>デバイスのバッファが一杯です。</source>
        <translation>The device&apos;s buffer is full.</translation>
    </message>
    <message>
        <source>オーディオデバイスとの接続が切れました。</source>
        <translation>The connection to the audio device was lost.</translation>
    </message>
    <message>
        <source>デバイスでエラーが発生しました。</source>
        <translation>An error occurred in the device.</translation>
    </message>
    <message>
        <source>このデバイスのサンプリング周波数 %1 Hz には対応していません (対応範囲: %2～%3 Hz)。</source>
        <translation>This device does not support the sample rate of %1 Hz (supported: %2 to %3 Hz).</translation>
    </message>
    <message>
        <source>MIDI入力デバイスとの接続が切れました。</source>
        <translation>The connection to the MIDI input device was lost.</translation>
    </message>
</context>
<context>
    <name>EffectParameter</name>
    <message>
        <source>敷居値</source>
        <translation>Thresh</translation>
    </message>
    <message>
        <source>リリース</source>
        <translation>Release</translation>
    </message>
    <message>
        <source>レシオ</source>
        <translation>Ratio</translation>
    </message>
    <message>
        <source>レベル</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>アタック</source>
        <translation>Attack</translation>
    </message>
    <message>
        <source>サスティン</source>
        <translation>Sustain</translation>
    </message>
    <message>
        <source>原音</source>
        <translation>Dry</translation>
    </message>
    <message>
        <source>ゲイン</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>トーン</source>
        <translation>Tone</translation>
    </message>
    <message>
        <source>ピッチ</source>
        <translation>Pitch</translation>
    </message>
    <message>
        <source>微調整</source>
        <translation>Fine</translation>
    </message>
    <message>
        <source>レート</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>デプス</source>
        <translation>Depth</translation>
    </message>
    <message>
        <source>遅延</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>L遅延</source>
        <translation>L delay</translation>
    </message>
    <message>
        <source>R遅延</source>
        <translation>R delay</translation>
    </message>
    <message>
        <source>Hiカット</source>
        <translation>Hi cut</translation>
    </message>
    <message>
        <source>Lowカット</source>
        <translation>Low cut</translation>
    </message>
    <message>
        <source>ステレオ</source>
        <translation>Stereo</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>アンポラ</source>
        <translation>Ampora</translation>
    </message>
    <message>
        <source>設定(&amp;C)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>ミキサー(&amp;M)</source>
        <translation>&amp;Mixer</translation>
    </message>
    <message>
        <source>その他(&amp;E)</source>
        <translation>&amp;Extras</translation>
    </message>
    <message>
        <source>ユーザー情報</source>
        <translation>About</translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>エラーが発生したため、プログラムを終了します。</source>
        <translation>An error occurred; the program ends.</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>はい(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>いいえ(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>再試行(&amp;R)</source>
        <translation>&amp;Retry</translation>
    </message>
    <message>
        <source>中止(&amp;A)</source>
        <translation>&amp;Abort</translation>
    </message>
    <message>
        <source>無視(&amp;I)</source>
        <translation>&amp;Ignore</translation>
    </message>
</context>
<context>
    <name>Tuner</name>
    <message>
        <source>・</source>
        <translation>·</translation>
    </message>
</context>
<context>
    <name>VersionInfo</name>
    <message>
        <source>%1更新版</source>
        <translation>Updated %1</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>Version information</translation>
    </message>
</context>
</TS>
