<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>skyloom::config::AboutPage</name>
    <message>
        <source>%1 Bit Color</source>
        <translation>%1 ビット カラー</translation>
    </message>
    <message>
        <source>Call-back support: %1</source>
        <translation>電話サポート: %1</translation>
    </message>
</context>
<context>
    <name>skyloom::config::Credits</name>
    <message>
        <source>Not Available.</source>
        <translation>情報はありません。</translation>
    </message>
    <message>
        <source>Not Available</source>
        <translation>情報なし</translation>
    </message>
    <message>
        <source>No additional information is available for this image.</source>
        <translation>この画像の追加情報はありません。</translation>
    </message>
    <message>
        <source>Image title:</source>
        <translation>画像のタイトル:</translation>
    </message>
    <message>
        <source>Image Credit:</source>
        <translation>クレジット:</translation>
    </message>
    <message>
        <source>Additional image information:</source>
        <translation>画像の追加情報:</translation>
    </message>
    <message>
        <source>For more information</source>
        <translation>詳細情報</translation>
    </message>
    <message>
        <source>Visit Corvenna Website</source>
        <translation>Corvenna の Web サイトを表示</translation>
    </message>
</context>
<context>
    <name>skyloom::config::EditSetsPage</name>
    <message>
        <source>Exclude Images</source>
        <translation>画像を除外</translation>
    </message>
    <message>
        <source>Exclude Image</source>
        <translation>画像を除外</translation>
    </message>
    <message>
        <source>Include Images</source>
        <translation>画像を含める</translation>
    </message>
    <message>
        <source>Include Image</source>
        <translation>画像を含める</translation>
    </message>
    <message>
        <source>Exclude Sets</source>
        <translation>セットを除外</translation>
    </message>
    <message>
        <source>Exclude Set</source>
        <translation>セットを除外</translation>
    </message>
    <message>
        <source>Include Sets</source>
        <translation>セットを含める</translation>
    </message>
    <message>
        <source>Include Set</source>
        <translation>セットを含める</translation>
    </message>
    <message>
        <source>At least one image set must stay included, or the screen saver has no pictures to show.</source>
        <translation>画像セットを 1 つ以上含めておく必要があります。すべて除外すると、スクリーンセーバーで表示する画像がなくなります。</translation>
    </message>
</context>
<context>
    <name>skyloom::config::EditSetsWidget</name>
    <message>
        <source>Making the image set...</source>
        <translation>画像セットを作成しています...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Add Photo Folder</source>
        <translation>写真フォルダーの追加</translation>
    </message>
    <message>
        <source>Click here to select an image set to edit.</source>
        <translation>編集する画像セットを選択するには、ここをクリックしてください。</translation>
    </message>
    <message>
        <source>Image set:</source>
        <translation>画像セット:</translation>
    </message>
    <message>
        <source>Show Title Page</source>
        <translation>タイトル ページを表示する</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected images to the &apos;Excluded Images&apos; box.</source>
        <translation>選択した画像をマウスの右ボタンで [除外された画像] ボックスへドラッグできます。</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected images to the &apos;Included Images&apos; box.</source>
        <translation>選択した画像をマウスの右ボタンで [含まれる画像] ボックスへドラッグできます。</translation>
    </message>
    <message>
        <source>Included Images</source>
        <translation>含まれる画像</translation>
    </message>
    <message>
        <source>Excluded Images</source>
        <translation>除外された画像</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation>画像のプレビュー</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>画像</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected sets to the &apos;Exluded Sets&apos; box.</source>
        <translation>選択したセットをマウスの右ボタンで [除外されたセット] ボックスへドラッグできます。</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected sets to the &apos;Included Sets&apos; box.</source>
        <translation>選択したセットをマウスの右ボタンで [含まれるセット] ボックスへドラッグできます。</translation>
    </message>
    <message>
        <source>Included Sets</source>
        <translation>含まれるセット</translation>
    </message>
    <message>
        <source>Excluded Sets</source>
        <translation>除外されたセット</translation>
    </message>
    <message>
        <source>Set preview</source>
        <translation>セットのプレビュー</translation>
    </message>
    <message>
        <source>Add Photo Folder...</source>
        <translation>写真フォルダーの追加...</translation>
    </message>
    <message>
        <source>Make an image set from a folder of your photos.</source>
        <translation>写真のフォルダーから画像セットを作成します。</translation>
    </message>
    <message>
        <source>Image Sets</source>
        <translation>画像セット</translation>
    </message>
    <message>
        <source>Name of the image set:</source>
        <translation>画像セットの名前:</translation>
    </message>
    <message>
        <source>There is already an image set named &quot;%1&quot;. Please choose another name.</source>
        <translation>「%1」という名前の画像セットは既にあります。別の名前を指定してください。</translation>
    </message>
    <message>
        <source>No picture in %1 could be used.</source>
        <translation>%1 には使用できる画像がありませんでした。</translation>
    </message>
    <message>
        <source>No image set was made.

%1</source>
        <translation>画像セットは作成されませんでした。

%1</translation>
    </message>
    <message>
        <source>A photo folder is made into an image set at once; Cancel does not take it back.</source>
        <translation>写真フォルダーはすぐに画像セットになります。[キャンセル] を押しても元に戻りません。</translation>
    </message>
</context>
<context>
    <name>skyloom::config::LockReadiness</name>
    <message>
        <source>The saver password file is damaged, so no password could end the lock.</source>
        <translation>スクリーンセーバーのパスワード ファイルが壊れているため、どのパスワードでもロックを解除できません。</translation>
    </message>
    <message>
        <source>No password could end the lock: your login password cannot be checked (%1 is missing).</source>
        <translation>どのパスワードでもロックを解除できません: ログイン パスワードを確認できません (%1 がありません)。</translation>
    </message>
    <message>
        <source>Change password...</source>
        <translation>パスワードの変更...</translation>
    </message>
    <message>
        <source>Set a saver password...</source>
        <translation>スクリーンセーバーのパスワードを設定...</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged, so no password could end the saver. Enter your login password to set a new one.</source>
        <translation>保存されているスクリーンセーバーのパスワードが壊れているため、どのパスワードでもスクリーンセーバーを終了できません。新しいパスワードを設定するには、ログイン パスワードを入力してください。</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged, and your login password cannot be checked (%1 is missing). To set a new password, remove the damaged file with this command, then start &quot;skyloom /a&quot; again:
%2</source>
        <translation>保存されているスクリーンセーバーのパスワードが壊れていて、ログイン パスワードも確認できません (%1 がありません)。新しいパスワードを設定するには、次のコマンドで壊れたファイルを削除してから、「skyloom /a」をもう一度起動してください:
%2</translation>
    </message>
    <message>
        <source>Enter the current password to change it. It cannot be removed: your login password cannot be checked (%1 is missing).</source>
        <translation>パスワードを変更するには、現在のパスワードを入力してください。パスワードは削除できません: ログイン パスワードを確認できません (%1 がありません)。</translation>
    </message>
    <message>
        <source>Leave the new password empty to use your login password again.</source>
        <translation>ログイン パスワードを再び使用するには、新しいパスワードを空欄のままにしてください。</translation>
    </message>
    <message>
        <source>No screen saver password is set, and your login password cannot be checked (%1 is missing). Set a screen saver password so that the saver can be locked.</source>
        <translation>スクリーンセーバーのパスワードが設定されておらず、ログイン パスワードも確認できません (%1 がありません)。スクリーンセーバーをロックできるように、スクリーンセーバーのパスワードを設定してください。</translation>
    </message>
    <message>
        <source>Password protection is off, so the screen saver ends without a password. A password set here is asked for once &quot;Password protected&quot; is on; without one, your login password is asked for.</source>
        <translation>パスワード保護がオフのため、スクリーンセーバーはパスワードなしで終了します。ここで設定したパスワードは「パスワードで保護する」をオンにすると要求されます。設定しない場合は、ログイン パスワードが要求されます。</translation>
    </message>
    <message>
        <source>The screen saver asks for your login password. Set a screen saver password to ask for that instead.</source>
        <translation>スクリーンセーバーはログイン パスワードを要求します。代わりにスクリーンセーバー専用のパスワードを要求するには、ここで設定してください。</translation>
    </message>
    <message>
        <source>Current password:</source>
        <translation>現在のパスワード:</translation>
    </message>
    <message>
        <source>Login password:</source>
        <translation>ログイン パスワード:</translation>
    </message>
    <message>
        <source>The current password is not correct.</source>
        <translation>現在のパスワードが正しくありません。</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged. Remove it with this command, then start &quot;skyloom /a&quot; again:
%1</source>
        <translation>保存されているスクリーンセーバーのパスワードが壊れています。次のコマンドで削除してから、「skyloom /a」をもう一度起動してください:
%1</translation>
    </message>
    <message>
        <source>The login password is not correct.</source>
        <translation>ログイン パスワードが正しくありません。</translation>
    </message>
    <message>
        <source>The new passwords do not match.</source>
        <translation>新しいパスワードが一致しません。</translation>
    </message>
    <message>
        <source>The new password is too long.</source>
        <translation>新しいパスワードが長すぎます。</translation>
    </message>
    <message>
        <source>The screen saver password cannot be removed while password protection is on: your login password cannot be checked (%1 is missing).</source>
        <translation>パスワード保護がオンの間は、スクリーンセーバーのパスワードを削除できません: ログイン パスワードを確認できません (%1 がありません)。</translation>
    </message>
    <message>
        <source>The password could not be saved in %1.</source>
        <translation>パスワードを %1 に保存できませんでした。</translation>
    </message>
</context>
<context>
    <name>skyloom::config::PageLists</name>
    <message>
        <source>Randomize From All Image Sets</source>
        <translation>すべての画像セットからランダムに選択</translation>
    </message>
    <message>
        <source>No Transitions</source>
        <translation>切り替え効果なし</translation>
    </message>
    <message>
        <source>All Transitions</source>
        <translation>すべての切り替え効果</translation>
    </message>
    <message>
        <source>Vertical Blinds</source>
        <translation>垂直ブラインド</translation>
    </message>
    <message>
        <source>Horizontal Blinds</source>
        <translation>水平ブラインド</translation>
    </message>
    <message>
        <source>Vertical Sweep</source>
        <translation>垂直スイープ</translation>
    </message>
    <message>
        <source>Horizontal Sweep</source>
        <translation>水平スイープ</translation>
    </message>
    <message>
        <source>Boxed In</source>
        <translation>ボックス イン</translation>
    </message>
    <message>
        <source>Horizontal Center Sweep</source>
        <translation>中央から水平スイープ</translation>
    </message>
    <message>
        <source>Vertical Center Sweep</source>
        <translation>中央から垂直スイープ</translation>
    </message>
    <message>
        <source>Block Out</source>
        <translation>ブロック アウト</translation>
    </message>
    <message>
        <source>Fast Block Out</source>
        <translation>高速ブロック アウト</translation>
    </message>
    <message>
        <source>Cross Fade</source>
        <translation>クロスフェード</translation>
    </message>
    <message>
        <source>Slide</source>
        <translation>スライド</translation>
    </message>
    <message>
        <source>Slow Zoom</source>
        <translation>スローズーム</translation>
    </message>
    <message>
        <source>All Transitions, Smooth</source>
        <translation>すべてのトランジション（なめらか）</translation>
    </message>
    <message>
        <source>English</source>
        <translation>英語</translation>
    </message>
    <message>
        <source>French</source>
        <translation>フランス語</translation>
    </message>
    <message>
        <source>German</source>
        <translation>ドイツ語</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>スペイン語</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>日本語</translation>
    </message>
    <message>
        <source>Extra Large</source>
        <translation>特大</translation>
    </message>
    <message>
        <source>Large</source>
        <translation>大</translation>
    </message>
    <message>
        <source>Medium</source>
        <translation>中</translation>
    </message>
    <message>
        <source>Small</source>
        <translation>小</translation>
    </message>
    <message>
        <source>Top-Left</source>
        <translation>左上</translation>
    </message>
    <message>
        <source>Top-Center</source>
        <translation>上中央</translation>
    </message>
    <message>
        <source>Top-Right</source>
        <translation>右上</translation>
    </message>
    <message>
        <source>Center-Left</source>
        <translation>左中央</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>中央</translation>
    </message>
    <message>
        <source>Center-Right</source>
        <translation>右中央</translation>
    </message>
    <message>
        <source>Bottom-Left</source>
        <translation>左下</translation>
    </message>
    <message>
        <source>Bottom-Center</source>
        <translation>下中央</translation>
    </message>
    <message>
        <source>Bottom-Right</source>
        <translation>右下</translation>
    </message>
    <message>
        <source>Manually</source>
        <translation>手動</translation>
    </message>
    <message>
        <source>Every Half-hour</source>
        <translation>30 分ごと</translation>
    </message>
    <message>
        <source>Every Hour</source>
        <translation>1 時間ごと</translation>
    </message>
    <message>
        <source>Every 2 Hours</source>
        <translation>2 時間ごと</translation>
    </message>
    <message>
        <source>Every 4 Hours</source>
        <translation>4 時間ごと</translation>
    </message>
    <message>
        <source>Every 8 Hours</source>
        <translation>8 時間ごと</translation>
    </message>
    <message>
        <source>Every Day</source>
        <translation>毎日</translation>
    </message>
    <message>
        <source>Every 2nd Day</source>
        <translation>2 日ごと</translation>
    </message>
    <message>
        <source>Every Week</source>
        <translation>毎週</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmChangePassword</name>
    <message>
        <source>Change Screen Saver Password</source>
        <translation>スクリーンセーバーのパスワードの変更</translation>
    </message>
    <message>
        <source>New password:</source>
        <translation>新しいパスワード:</translation>
    </message>
    <message>
        <source>Confirm new password:</source>
        <translation>新しいパスワードの確認:</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmCredits</name>
    <message>
        <source>Image Credits</source>
        <translation>画像のクレジット</translation>
    </message>
    <message>
        <source>Thumbnail</source>
        <translation>サムネイル</translation>
    </message>
    <message>
        <source> &amp;Close</source>
        <translation> 閉じる(&amp;C)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmMoonfield</name>
    <message>
        <source>Moonfield Configuration</source>
        <translation>Moonfield の設定</translation>
    </message>
    <message>
        <source>Screen Saver</source>
        <translation>スクリーンセーバー</translation>
    </message>
    <message>
        <source>Wallpaper</source>
        <translation>壁紙</translation>
    </message>
    <message>
        <source>Edit Sets</source>
        <translation>セットの編集</translation>
    </message>
    <message>
        <source>About</source>
        <translation>バージョン情報</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>適用</translation>
    </message>
    <message>
        <source>On</source>
        <translation>オン</translation>
    </message>
    <message>
        <source>This turns the screen saver on.</source>
        <translation>スクリーンセーバーをオンにします。</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>オフ</translation>
    </message>
    <message>
        <source>This turns the screen saver off.</source>
        <translation>スクリーンセーバーをオフにします。</translation>
    </message>
    <message>
        <source>Password protected</source>
        <translation>パスワードで保護する</translation>
    </message>
    <message>
        <source>Change password...</source>
        <translation>パスワードの変更...</translation>
    </message>
    <message>
        <source>Start After</source>
        <translation>開始までの時間</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>分</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Image set:</source>
        <translation>画像セット:</translation>
    </message>
    <message>
        <source>Time between images</source>
        <translation>画像の切り替え間隔</translation>
    </message>
    <message>
        <source>&amp;Minutes</source>
        <translation>分(&amp;M)</translation>
    </message>
    <message>
        <source>Transition effects:</source>
        <translation>切り替え効果:</translation>
    </message>
    <message>
        <source>&amp;Size to fit screen</source>
        <translation>画面サイズに合わせる(&amp;F)</translation>
    </message>
    <message>
        <source>Same picture on every screen</source>
        <translation>すべての画面に同じ画像</translation>
    </message>
    <message>
        <source>Image Information</source>
        <translation>画像情報</translation>
    </message>
    <message>
        <source>Show Titles</source>
        <translation>タイトルを表示する</translation>
    </message>
    <message>
        <source>Show info panel</source>
        <translation>情報パネルを表示する</translation>
    </message>
    <message>
        <source>Info panel language:</source>
        <translation>情報パネルの言語:</translation>
    </message>
    <message>
        <source>Info panel shows for:</source>
        <translation>情報パネルの表示時間:</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Thumbnail</source>
        <translation>サムネイル</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>プレビュー(&amp;P)</translation>
    </message>
    <message>
        <source>Basic Settings</source>
        <translation>基本設定</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>カレンダー</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>サイズ:</translation>
    </message>
    <message>
        <source>Position:</source>
        <translation>位置:</translation>
    </message>
    <message>
        <source>PanaMotion</source>
        <translation>PanaMotion</translation>
    </message>
    <message>
        <source>Panoramic Speed</source>
        <translation>パノラマの移動速度</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>遅い</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>速い</translation>
    </message>
    <message>
        <source>Skyloom</source>
        <translation>Skyloom</translation>
    </message>
    <message>
        <source>Click here to turn Skyloom on.</source>
        <translation>Skyloom をオンにするには、ここをクリックしてください。</translation>
    </message>
    <message>
        <source>Click here to turn Skyloom off.</source>
        <translation>Skyloom をオフにするには、ここをクリックしてください。</translation>
    </message>
    <message>
        <source>The screen saver settings could not be saved to %1.</source>
        <translation>スクリーンセーバーの設定を %1 に保存できませんでした。</translation>
    </message>
    <message>
        <source>Click these to turn your wallpaper on and off.</source>
        <translation>壁紙のオンとオフを切り替えます。</translation>
    </message>
    <message>
        <source>Click here to turn your wallpaper on.</source>
        <translation>壁紙をオンにするには、ここをクリックしてください。</translation>
    </message>
    <message>
        <source>Click here to turn your wallpaper off.</source>
        <translation>壁紙をオフにするには、ここをクリックしてください。</translation>
    </message>
    <message>
        <source>This selects the image set to use for the wallpaper.</source>
        <translation>壁紙に使う画像セットを選択します。</translation>
    </message>
    <message>
        <source>Click here to select a set of images  to get your wallpaper from.</source>
        <translation>壁紙に使う画像セットを選択するには、ここをクリックしてください。</translation>
    </message>
    <message>
        <source>&amp;Wallpaper Images</source>
        <translation>壁紙の画像(&amp;W)</translation>
    </message>
    <message>
        <source>Click here to select the image to use for your wallpaper.</source>
        <translation>壁紙に使う画像を選択するには、ここをクリックしてください。</translation>
    </message>
    <message>
        <source>This is the image that will be set as your wallpaper.</source>
        <translation>壁紙に設定される画像です。</translation>
    </message>
    <message>
        <source>Image Info...</source>
        <translation>画像情報...</translation>
    </message>
    <message>
        <source>Find out more about this image.</source>
        <translation>この画像の詳細を表示します。</translation>
    </message>
    <message>
        <source>Check this to make the image fill the screen.</source>
        <translation>画像を画面全体に表示するには、これをオンにしてください。</translation>
    </message>
    <message>
        <source>Change Wallpaper</source>
        <translation>壁紙の変更</translation>
    </message>
    <message>
        <source>This controls how often the wallpaper changes.  If you select Manual,  the wallpaper calendar will still update.</source>
        <translation>壁紙を変更する間隔を設定します。[手動] を選択した場合も、壁紙のカレンダーは更新されます。</translation>
    </message>
    <message>
        <source>Click here to set how often your wallpaper changes.  If you select Manual,  the wallpaper calendar will still updates at midnight.</source>
        <translation>壁紙を変更する間隔を設定するには、ここをクリックしてください。[手動] を選択した場合も、壁紙のカレンダーは午前 0 時に更新されます。</translation>
    </message>
    <message>
        <source>Use these to control the wallpaper calendar.</source>
        <translation>壁紙のカレンダーを設定します。</translation>
    </message>
    <message>
        <source>Click here to turn the wallpaper calendar on.</source>
        <translation>壁紙のカレンダーをオンにするには、ここをクリックしてください。</translation>
    </message>
    <message>
        <source>Click here to turn the wallpaper calendar off.</source>
        <translation>壁紙のカレンダーをオフにするには、ここをクリックしてください。</translation>
    </message>
    <message>
        <source>WallpaperControlsSetEnable Failed</source>
        <translation>WallpaperControlsSetEnable に失敗しました</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>ロゴ</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>会社情報</translation>
    </message>
    <message>
        <source>Support:</source>
        <translation>サポート:</translation>
    </message>
    <message>
        <source>Click here to get information about a particular image set.</source>
        <translation>画像セットの情報を表示するには、ここをクリックしてください。</translation>
    </message>
    <message>
        <source>Visit web site</source>
        <translation>Web サイトを表示</translation>
    </message>
    <message>
        <source>The image-set choices could not be saved.</source>
        <translation>画像セットの選択内容を保存できませんでした。</translation>
    </message>
    <message>
        <source>Preparing your first pictures...</source>
        <translation>最初の画像を準備しています...</translation>
    </message>
    <message>
        <source>Preparing your first pictures... %1 of %2</source>
        <translation>最初の画像を準備しています... (%1/%2)</translation>
    </message>
    <message>
        <source>Screen Saver Configuration</source>
        <translation>スクリーンセーバーの設定</translation>
    </message>
    <message>
        <source>Are you sure you want to remove the Wallpaper?</source>
        <translation>壁紙を削除してもよろしいですか?</translation>
    </message>
    <message>
        <source>Wallpaper Configuration</source>
        <translation>壁紙の設定</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>エラー</translation>
    </message>
    <message>
        <source>S&amp;econds</source>
        <translation>秒(&amp;E)</translation>
    </message>
    <message>
        <source>Shows whether the installation lets the screen saver open web pages (Tab and Esc open the pages an image set offers). A change here is not saved.</source>
        <translation>このインストールでスクリーンセーバーが Web ページを開けるかどうかを示します (Tab キーと Esc キーで、画像セットが用意したページを開きます)。ここでの変更は保存されません。</translation>
    </message>
    <message>
        <source>&quot;Password protected&quot; was not switched on. %1 Set a saver password first.</source>
        <translation>「パスワードで保護する」はオンになりませんでした。%1 先にスクリーンセーバーのパスワードを設定してください。</translation>
    </message>
    <message>
        <source>Different picture on each screen</source>
        <translation>画面ごとに別の画像</translation>
    </message>
    <message>
        <source>Check this to show another picture of the set on each of your monitors.</source>
        <translation>オンにすると、各モニターにセットの別の画像を表示します。</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmPleaseWait</name>
    <message>
        <source>Setting WallPaper,
One Moment Please</source>
        <translation>壁紙を設定しています。
しばらくお待ちください</translation>
    </message>
</context>
<context>
    <name>skyloom::imagesets</name>
    <message>
        <source>Unable to find image sets. PATH = %1</source>
        <translation>画像セットが見つかりません。PATH = %1</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>エラー</translation>
    </message>
</context>
<context>
    <name>skyloom::platform</name>
    <message>
        <source>Unable to open registry key %1</source>
        <translation>レジストリ キー %1 を開けません</translation>
    </message>
    <message>
        <source>Error getting Registry Data</source>
        <translation>レジストリ データの取得中にエラーが発生しました</translation>
    </message>
</context>
<context>
    <name>skyloom::platform::Password</name>
    <message>
        <source>the saver password file %1 is damaged, so no password could end the saver; set a new password with &quot;skyloom /a&quot; or remove the file</source>
        <extracomment>Follows &quot;Password protection is on, but&quot;.</extracomment>
        <translation>スクリーンセーバーのパスワード ファイル %1 が壊れていて、どのパスワードでもスクリーンセーバーを終了できません。「skyloom /a」で新しいパスワードを設定するか、ファイルを削除してください</translation>
    </message>
    <message>
        <source>the PAM service file %1 is missing, so your login password cannot be checked; run ./demo (or the installer) as root, or set a saver password with &quot;skyloom /a&quot;</source>
        <extracomment>Follows &quot;Password protection is on, but&quot;.</extracomment>
        <translation>PAM サービス ファイル %1 がないため、ログイン パスワードを確認できません。root として ./demo (またはインストーラー) を実行するか、「skyloom /a」でスクリーンセーバーのパスワードを設定してください</translation>
    </message>
</context>
<context>
    <name>skyloom::saver::SaverGuard</name>
    <message>
        <source>Type your password to end the screen saver.</source>
        <translation>スクリーンセーバーを終了するには、パスワードを入力してください。</translation>
    </message>
    <message>
        <source>Checking...</source>
        <translation>確認しています...</translation>
    </message>
    <message>
        <source>Wrong password. Try again.</source>
        <translation>パスワードが違います。もう一度入力してください。</translation>
    </message>
    <message numerus="yes">
        <source>Too many wrong passwords. Try again in %n second(s).</source>
        <translation>
            <numerusform>パスワードの誤りが多すぎます。%n 秒後にもう一度お試しください。</numerusform>
        </translation>
    </message>
    <message>
        <source>Password protection is on, but %1. The screen saver does not start, so the screen is not locked.</source>
        <extracomment>%1 is why no password could end the lock, a clause that follows &quot;but&quot;.</extracomment>
        <translation>パスワード保護はオンですが、%1。スクリーンセーバーは起動しないため、画面はロックされません。</translation>
    </message>
</context>
<context>
    <name>skyloom::saver::PictureChange</name>
    <message>
        <source>Initializing Screen Saver...</source>
        <translation>スクリーンセーバーを初期化しています...</translation>
    </message>
    <message>
        <source>Screen Saver has not been set up.
Please select &apos;Settings&apos; from the
Properties Dialog.</source>
        <translation>スクリーンセーバーはまだ設定されていません。
[プロパティ] ダイアログで [設定] を
選択してください。</translation>
    </message>
    <message>
        <source>No pictures found</source>
        <translation>画像が見つかりません</translation>
    </message>
</context>
<context>
    <name>skyloom::tray</name>
    <message>
        <source>Wallpaper Changer</source>
        <translation>壁紙チェンジャー</translation>
    </message>
    <message>
        <source>paperwheel changes the wallpaper on schedule, but this desktop has no system tray to show its icon and menu in. Control it from a terminal: paperwheel --next, --pause, --resume, --status or --quit.</source>
        <translation>paperwheel はスケジュールに従って壁紙を変更しますが、このデスクトップにはアイコンとメニューを表示するシステム トレイがありません。端末から操作してください: paperwheel --next、--pause、--resume、--status、--quit。</translation>
    </message>
</context>
<context>
    <name>skyloom::tray::SkyloomStarter</name>
    <message>
        <source>Cannot start skyloom %1: %2</source>
        <translation>skyloom %1 を起動できません: %2</translation>
    </message>
</context>
<context>
    <name>skyloom::tray::frmPlaceHolder</name>
    <message>
        <source>Next Wallpaper</source>
        <translation>次の壁紙</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>設定...</translation>
    </message>
    <message>
        <source>Wallpaper Auto Change Active</source>
        <translation>壁紙の自動変更を有効にする</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Close Wallpaper Auto Changer</source>
        <translation>壁紙の自動変更を終了</translation>
    </message>
</context>
<context>
    <name>skyloom::wallpaper</name>
    <message>
        <source>An Error occured while setting the wall paper.</source>
        <translation>壁紙の設定中にエラーが発生しました。</translation>
    </message>
</context>
</TS>
